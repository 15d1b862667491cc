#!/usr/bin/env bash
# bench/system/system_bench.sh - the real Keywhirl.exe measured from outside,
# under Wine, each figure beside that of a reference program (bench/floors)
# taken in the same run: start-up, idle processor time and wake-ups, memory
# after start, after many key records and after the keyboard has come and
# gone many times, a keystroke's latency through the keyboard hook, and typing
# into another program.
#
#   system_bench.sh BUILD_DIR
#   system_bench.sh --estimate   prints the minutes a run is expected to take
#
# Runs inside a Wine session (tools/bench.sh starts one), so DISPLAY and
# WINEPREFIX are set. Keywhirl and its floor take turns (Keywhirl, floor,
# Keywhirl, ...), so that a machine that gets slower or faster during the
# run moves both alike. Each figure is taken several times and printed as
#   "<what>  min <a> median <b> max <c> <unit>   ratio <r>   goal <...>: met|MISSED"
# (ratio: of the medians, Keywhirl / floor); single figures as the other
# benchmarks print them. Figures depend on the machine; nothing here fails
# because a machine is slow.
#
# Environment, for shorter runs:
#   KEYWHIRL_BENCH_REPEATS          repetitions of every figure (5)
#   KEYWHIRL_BENCH_IDLE_SECONDS     each idle measurement (30)
#   KEYWHIRL_BENCH_KEY_RECORDS      key records for the memory figure (100000)
#   KEYWHIRL_BENCH_KEYBOARD_CYCLES  keyboard shows and hides (100)
#   KEYWHIRL_BENCH_LATENCY_KEYS     keystrokes timed in each latency run (500)
#   KEYWHIRL_BENCH_TYPING_RUNS      typing runs with and without Keywhirl (repeats)
#   KEYWHIRL_BENCH_PACED_RUNS       the same at a paced rate (repeats)
set -u
repeats=${KEYWHIRL_BENCH_REPEATS:-5}
idle_seconds=${KEYWHIRL_BENCH_IDLE_SECONDS:-30}
key_records=${KEYWHIRL_BENCH_KEY_RECORDS:-100000}
keyboard_cycles=${KEYWHIRL_BENCH_KEYBOARD_CYCLES:-100}
latency_keys=${KEYWHIRL_BENCH_LATENCY_KEYS:-500}
typing_runs=${KEYWHIRL_BENCH_TYPING_RUNS:-$repeats}
paced_runs=${KEYWHIRL_BENCH_PACED_RUNS:-$repeats}
# Records that let the heaps settle before the growth per record is taken.
settle_records=2000
paced_delay_ms=5
characters=2000
startup_pause_ms=3000
exit_command=32772
clock_ticks=$(getconf CLK_TCK)

# What a run takes, from the parts' measured costs under Wine on a shared
# two-core machine: a key record some 0.3 ms, a keyboard cycle 0.15 s, a
# timed keystroke 5 ms, a start of Keywhirl 4 s and of another program 0.5 s.
expected_minutes=$(awk -v r="$repeats" -v i="$idle_seconds" -v k="$key_records" \
  -v c="$keyboard_cycles" -v l="$latency_keys" -v t="$typing_runs" -v p="$paced_runs" \
  -v n="$characters" -v d="$paced_delay_ms" -v settle="$settle_records" 'BEGIN {
    main = r * (4 * i + 2 * (k + settle) * 0.0003 + c * 0.15 + 15)
    latency = r * (4 * (l * 0.005 + 2) + 6)
    typing = t * (3 * (n * 0.0004 + 3) + 7) + p * (3 * (n * (d + 0.5) / 1000 + 3) + 7)
    printf "%.0f\n", (main + latency + typing) / 60 + 0.5 }')
if [ "${1:-}" = --estimate ]; then
  echo "$expected_minutes"
  exit 0
fi
echo "system bench: about $expected_minutes minutes" >&2

build_dir=$(realpath "$1")
helpers="$build_dir/bench/helpers"
probe_exe="$helpers/bench_keywhirl_probe.exe"
target_exe="$helpers/bench_typing_target.exe"
latency_exe="$helpers/bench_key_latency.exe"
program=$(winepath -w "$build_dir/out/Keywhirl.exe")
floor_idle=$(winepath -w "$helpers/bench_floor_idle.exe")
floor_hook=$(winepath -w "$helpers/bench_floor_hook.exe")
floor_forward=$(winepath -w "$helpers/bench_floor_forward.exe")
idle_title="Keywhirl floor idle"
hook_title="Keywhirl floor hook"
forward_title="Keywhirl floor forward"

work=$(mktemp -d)
settings_folder=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Keywhirl
settings_file="$settings_folder/Keywhirl.ini"

# The user's settings in this prefix are set aside and put back afterwards.
if [ -f "$settings_file" ]; then
  cp "$settings_file" "$work/Keywhirl.ini.saved"
fi
finish() {
  probe command "$exit_command" >/dev/null 2>&1
  probe wait-exit 10000 >/dev/null 2>&1
  local title
  for title in "$idle_title" "$hook_title" "$forward_title"; do
    probe close "$title" 5000 >/dev/null 2>&1
  done
  if [ -f "$work/Keywhirl.ini.saved" ]; then
    cp "$work/Keywhirl.ini.saved" "$settings_file"
  else
    rm -f "$settings_file"
  fi
  rm -rf "$work"
}
trap finish EXIT

progress() { echo "system bench: $*" >&2; }
probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
field() { sed -n "s/^$1=//p"; }

# The settings every measured start begins with: the keyboard picture hidden,
# so that it takes no focus from the typing target, the metronome off and no
# logon start value left behind in the prefix. Everything else keeps its
# default. With "popping", the keyboard pops up as a hint and the next typing
# key fades it out, as the keyboard cycles need; the hint's wait is an hour,
# so that it never comes by itself during a run. The shortest values a user
# can set: "short-wait" pops the hint up 1 ms after a key, "fast-metronome"
# beats as often as the program lets it.
write_settings() {
  mkdir -p "$settings_folder"
  {
    printf '[Settings]\r\nkeyboardIsVisible=FALSE\r\nautoRun=FALSE\r\n'
    case "${1:-}" in
      popping) printf 'keyboardAutoPopupping=TRUE\r\nkeyboardWaitInterval=3600000\r\n' ;;
      short-wait) printf 'keyboardAutoPopupping=TRUE\r\nkeyboardWaitInterval=0\r\n' ;;
    esac
    if [ "${1:-}" = fast-metronome ]; then
      printf 'metronomeRunning=TRUE\r\nmetronomeInterval=1\r\n'
    else
      printf 'metronomeRunning=FALSE\r\n'
    fi
  } > "$settings_file"
}

# start_program PROGRAM [TITLE]: starts Keywhirl, or a floor with the title
# of its hidden window, and prints the probe's times. The started program
# inherits the probe's output: a file, not a pipe that would stay open as
# long as the program runs.
start_program() {
  wine "$probe_exe" start "$@" > "$work/start.out" 2>/dev/null
  tr -d '\r' < "$work/start.out"
}

stop_keywhirl() {
  probe command "$exit_command" >/dev/null
  probe wait-exit 15000 >/dev/null
}

# The Linux process that runs the given program (a pattern of its file name)
# in this session's prefix.
linux_pid() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}
wineserver_pid() {
  local pid
  for pid in $(pgrep -x 'wineserver|wineserver64'); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}

# --- samples and their report ------------------------------------------------
mkdir -p "$work/samples"
# sample NAME VALUE: one more figure of the series; an empty value is none.
sample() { [ -n "${2:-}" ] && echo "$2" >> "$work/samples/$1"; }
# stats NAME DECIMALS: "min median max" of the series, nothing if empty.
stats() {
  [ -s "$work/samples/$1" ] || return
  sort -g "$work/samples/$1" | awk -v d="$2" '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    f = "%." d "f"; printf f " " f " " f "\n", v[1], m, v[NR] }'
}
median_of() { stats "$1" 6 | awk '{ print $2 }'; }
# verdict FIGURE OP GOAL: met or MISSED.
verdict() {
  awk -v f="$1" -v g="$3" -v op="$2" 'BEGIN {
    ok = (op == "<") ? f < g : (op == "<=") ? f <= g : 0; print ok ? "met" : "MISSED" }'
}

# report_series WHAT UNIT DECIMALS NAME [FLOOR [GOAL_ON OP GOAL GOAL_TEXT]]
# Prints a series' minimum, median and maximum; with FLOOR the ratio of the
# medians; with a goal, the verdict on the median (GOAL_ON "median") or on
# the ratio (GOAL_ON "ratio"), GOAL_TEXT saying what the goal is.
report_series() {
  local what=$1 unit=$2 decimals=$3 name=$4 floor=${5:-} goal_on=${6:-} op=${7:-} goal=${8:-}
  local goal_text=${9:-} figures ratio="" line checked
  figures=$(stats "$name" "$decimals")
  if [ -z "$figures" ]; then
    printf '%-64s  %9s\n' "$what" "no figure"
    return
  fi
  line=$(printf '%-64s  min %s median %s max %s %s' "$what" \
    $(echo "$figures" | awk '{ print $1, $2, $3 }') "$unit")
  if [ -n "$floor" ] && [ -s "$work/samples/$floor" ]; then
    ratio=$(awk -v a="$(median_of "$name")" -v b="$(median_of "$floor")" \
      'BEGIN { if (b > 0) printf "%.2f\n", a / b }')
    [ -n "$ratio" ] && line="$line   ratio $ratio"
  fi
  if [ -n "$goal_on" ]; then
    checked=$(median_of "$name")
    [ "$goal_on" = ratio ] && checked=$ratio
    if [ -n "$checked" ] && [ -n "$goal" ]; then
      line="$line   goal $goal_text: $(verdict "$checked" "$op" "$goal")"
    fi
  fi
  echo "$line"
}

# report WHAT FIGURE UNIT: a single figure.
report() {
  if [ -z "${2:-}" ]; then
    printf '%-64s  %9s\n' "$1" "no figure"
  else
    printf '%-64s  %9s %s\n' "$1" "$2" "$3"
  fi
}

# --- memory, idle time, wake-ups ---------------------------------------------
# Resident memory of a Linux process in bytes: RssAnon is what it touched of
# its own (heaps, stacks, under Wine also its GDI bitmaps), VmRSS everything
# resident including shared libraries.
resident() { awk -v k="$2:" '$1 == k { print $2 * 1024 }' "/proc/$1/status" 2>/dev/null; }
mb() { awk -v b="${1:-}" 'BEGIN { if (b != "") printf "%.2f\n", b / 1048576 }'; }
# sample_memory PREFIX PID: RssAnon and VmRSS into PREFIX.anon and PREFIX.rss.
sample_memory() {
  sample "$1.anon" "$(mb "$(resident "$2" RssAnon)")"
  sample "$1.rss" "$(mb "$(resident "$2" VmRSS)")"
}

# User and system time of a process or thread in clock ticks (fields 14 and
# 15 of stat, counted after the command name in parentheses).
cpu_ticks() { sed 's/^.*) //' "$1/stat" 2>/dev/null | awk '{ print $12 + $13 }'; }
# Each thread's voluntary context switches: every time it went to sleep and
# was woken again.
thread_switches() {
  local task
  for task in /proc/"$1"/task/*; do
    echo "${task##*/} $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status" 2>/dev/null)"
  done
}
# sample_idle PREFIX PID [THREADS_FILE]: over the idle time, the process's and
# the wineserver's share of one core in percent, and the wake-ups per second
# of all the process's threads and of its most woken one. With THREADS_FILE,
# each thread's wake-ups per second go there, the most woken first.
sample_idle() {
  local prefix=$1 pid=$2 server before after server_before server_after all most
  server=$(wineserver_pid)
  thread_switches "$pid" > "$work/switches.before"
  before=$(cpu_ticks "/proc/$pid")
  server_before=$(cpu_ticks "/proc/$server")
  sleep "$idle_seconds"
  after=$(cpu_ticks "/proc/$pid")
  server_after=$(cpu_ticks "/proc/$server")
  thread_switches "$pid" > "$work/switches.after"
  share() { awk -v a="$1" -v b="$2" -v t="$clock_ticks" -v s="$idle_seconds" \
    'BEGIN { if (a != "" && b != "") printf "%.3f\n", (b - a) / t / s * 100 }'; }
  sample "$prefix.cpu" "$(share "$before" "$after")"
  sample "$prefix.server" "$(share "$server_before" "$server_after")"
  awk -v s="$idle_seconds" -v each="$work/threads" 'NR == FNR { before[$1] = $2; next }
    ($1 in before) { d = ($2 - before[$1]) / s; all += d; if (d > m) m = d; print $1, d > each }
    END { printf "%.1f %.1f\n", all, m }' "$work/switches.before" "$work/switches.after" \
    > "$work/wakeups"
  read -r all most < "$work/wakeups"
  sample "$prefix.wakes" "$all"
  sample "$prefix.woken" "$most"
  [ -n "${3:-}" ] && sort -k2 -g -r "$work/threads" > "$3"
}

# --- start-up, idle, memory ----------------------------------------------------
# Each repetition: Keywhirl is started (timed to its started event), rests
# for the idle time, takes the key records and shows and hides its keyboard,
# with its memory read after each step; then the idle floor is started,
# rests and is read the same way, and the forward floor takes the same key
# records.
for rep in $(seq 1 "$repeats"); do
  progress "start, idle and memory $rep of $repeats: Keywhirl"
  write_settings popping
  out=$(start_program "$program")
  ready=$(echo "$out" | field ready_ms)
  [ -n "$ready" ] && sample startup.keywhirl \
    "$(awk -v r="$ready" -v p="$startup_pause_ms" 'BEGIN { printf "%.1f\n", r - p }')"
  pid=$(linux_pid 'Keywhirl\.exe')
  if [ -n "$pid" ]; then
    sleep 1
    sample_memory start.keywhirl "$pid"
    threads_file=""
    [ "$rep" = 1 ] && threads_file="$work/threads.keywhirl"
    sample_idle idle.keywhirl "$pid" "$threads_file"
    probe keys "$settle_records" > /dev/null
    sample_memory settled.keywhirl "$pid"
    keys=$(probe keys "$key_records")
    sample record.keywhirl "$(echo "$keys" | field per_record_us)"
    sample_memory keys.keywhirl "$pid"
    cycles=$(probe keyboard-cycles "$keyboard_cycles")
    [ "$(echo "$cycles" | field cycles)" = "$keyboard_cycles" ] &&
      sample cycle.keywhirl "$(echo "$cycles" | field per_cycle_ms)"
    sample_memory cycles.keywhirl "$pid"
  fi
  stop_keywhirl

  # Idle after one key with the shortest wait (the hint has come) and with
  # the fastest metronome.
  for variant in short-wait fast-metronome; do
    progress "idle $rep of $repeats: Keywhirl, $variant"
    write_settings "$variant"
    start_program "$program" > /dev/null
    pid=$(linux_pid 'Keywhirl\.exe')
    if [ -n "$pid" ]; then
      probe keys 2 > /dev/null
      sleep 1
      sample_idle "idle.$variant" "$pid"
    fi
    stop_keywhirl
  done

  progress "start, idle and memory $rep of $repeats: floors"
  out=$(start_program "$floor_idle" "$idle_title")
  sample startup.floor "$(echo "$out" | field ready_ms)"
  pid=$(linux_pid 'bench_floor_idle\.exe')
  if [ -n "$pid" ]; then
    sleep 1
    sample_memory start.floor "$pid"
    sample_idle idle.floor "$pid"
  fi
  probe close "$idle_title" 10000 > /dev/null
  start_program "$floor_forward" "$forward_title" > /dev/null
  pid=$(linux_pid 'bench_floor_forward\.exe')
  if [ -n "$pid" ]; then
    probe keys "$settle_records" 0 "$forward_title" > /dev/null
    sample_memory settled.floor "$pid"
    keys=$(probe keys "$key_records" 0 "$forward_title")
    sample record.floor "$(echo "$keys" | field per_record_us)"
    sample_memory keys.floor "$pid"
  fi
  probe close "$forward_title" 10000 > /dev/null
done

# Growth per record over the last KEY_RECORDS, in bytes, for each repetition.
for who in keywhirl floor; do
  paste "$work/samples/settled.$who.anon" "$work/samples/keys.$who.anon" 2>/dev/null |
    awk -v n="$key_records" '{ printf "%.0f\n", ($2 - $1) * 1048576 / n }' \
      > "$work/samples/growth.$who"
done

report_series "start-up to the started event, Keywhirl less its 3 s pause" ms 0 \
  startup.keywhirl startup.floor median "<" 300 "< 300 ms"
report_series "start-up to the started event, idle floor" ms 0 startup.floor

report_series "idle processor time (${idle_seconds} s), Keywhirl" "% of a core" 3 \
  idle.keywhirl.cpu idle.floor.cpu median "<=" 0.3 "<= 0.3 %"
report_series "idle processor time, idle floor" "% of a core" 3 idle.floor.cpu
report_series "idle processor time, hint shown after a wait of 0, Keywhirl" "% of a core" 3 \
  idle.short-wait.cpu idle.floor.cpu median "<=" 0.3 "<= 0.3 %"
report_series "idle wake-ups of all threads, hint shown after a wait of 0" "per second" 1 \
  idle.short-wait.wakes idle.floor.wakes
report_series "idle processor time, metronome every 1 ms set, Keywhirl" "% of a core" 3 \
  idle.fast-metronome.cpu idle.floor.cpu median "<=" 0.3 "<= 0.3 %"
report_series "idle: the wineserver meanwhile, with Keywhirl" "% of a core" 3 \
  idle.keywhirl.server idle.floor.server
report_series "idle: the wineserver meanwhile, with the idle floor" "% of a core" 3 \
  idle.floor.server
report_series "idle wake-ups of all threads, Keywhirl" "per second" 1 \
  idle.keywhirl.wakes idle.floor.wakes
report_series "idle wake-ups of all threads, idle floor" "per second" 1 idle.floor.wakes
report_series "idle wake-ups of the most woken thread, Keywhirl" "per second" 1 \
  idle.keywhirl.woken idle.floor.woken
report_series "idle wake-ups of the most woken thread, idle floor" "per second" 1 \
  idle.floor.woken
if [ -s "$work/threads.keywhirl" ]; then
  rank=0
  # The six most woken threads, as far as they woke at all.
  while read -r thread rate && [ "$rank" -lt 6 ]; do
    awk -v r="$rate" 'BEGIN { exit !(r > 0) }' || break
    rank=$((rank + 1))
    report "idle wake-ups, Keywhirl's thread $thread (first repetition)" \
      "$(awk -v r="$rate" 'BEGIN { printf "%.1f\n", r }')" "per second"
  done < "$work/threads.keywhirl"
fi

# The memory goal: Keywhirl's private memory stays within 8 MB of what the
# idle floor keeps.
floor_private=$(median_of start.floor.anon)
private_limit=$(awk -v f="$floor_private" 'BEGIN { if (f != "") printf "%.2f\n", f + 8 }')
private_goal_text="<= $private_limit MB (idle floor + 8 MB)"
report_series "private resident memory (RssAnon) after start, Keywhirl" MB 2 \
  start.keywhirl.anon start.floor.anon median "<=" "$private_limit" "$private_goal_text"
report_series "private resident memory after start, idle floor" MB 2 start.floor.anon
report_series "total resident memory (VmRSS) after start, Keywhirl" MB 2 \
  start.keywhirl.rss start.floor.rss
report_series "total resident memory after start, idle floor" MB 2 start.floor.rss
records_text="$settle_records + $key_records key records"
report_series "private resident memory after $records_text, Keywhirl" MB 2 \
  keys.keywhirl.anon keys.floor.anon median "<=" "$private_limit" "$private_goal_text"
report_series "private resident memory after $records_text, forward floor" MB 2 keys.floor.anon
report_series "total resident memory after $records_text, Keywhirl" MB 2 \
  keys.keywhirl.rss keys.floor.rss
report_series "total resident memory after $records_text, forward floor" MB 2 keys.floor.rss
report_series "private memory growth per key record (last $key_records), Keywhirl" bytes 0 \
  growth.keywhirl growth.floor
report_series "private memory growth per key record, forward floor" bytes 0 growth.floor
report_series "one key record sent and taken (WM_COPYDATA), Keywhirl" us 1 \
  record.keywhirl record.floor
report_series "one key record sent and taken, forward floor" us 1 record.floor
report_series "private resident memory after $keyboard_cycles keyboard shows and fade-outs, Keywhirl" \
  MB 2 cycles.keywhirl.anon "" median "<=" "$private_limit" "$private_goal_text"
report_series "total resident memory after $keyboard_cycles keyboard shows and fade-outs, Keywhirl" \
  MB 2 cycles.keywhirl.rss
report_series "one keyboard show and fade-out, waited for, Keywhirl" ms 1 cycle.keywhirl

# --- key latency ---------------------------------------------------------------
# bench_key_latency sends single keys with SendInput to a window of its own
# and times each from just before the send to its WM_CHAR. Under Wine every
# injected key passes through each low-level hook of the session first, so
# the figure is what the hooks running cost a keystroke: Keywhirl's, the
# forward floor's (a hook that sends each key to a window, the least a hook
# like Keywhirl's can do), the bare hook floor's, and none.
latency_once() {
  local name=$1 out="$work/latency.out" window
  rm -f "$out"
  wine "$latency_exe" "$latency_keys" > "$out" 2>/dev/null &
  local meter=$!
  window=$(timeout 20 xdotool search --sync --name "Keywhirl key latency" | head -n 1)
  # SetForegroundWindow gives the meter the foreground as a rule; a click
  # makes sure where another program's window came in between.
  [ -n "$window" ] && xdotool mousemove --window "$window" 150 120 click 1
  wait "$meter"
  tr -d '\r' < "$out" > "$out.clean"
  sample "latency.$name.p50" "$(field p50_us < "$out.clean")"
  sample "latency.$name.p99" "$(field p99_us < "$out.clean")"
  sample "latency.$name.max" "$(field max_us < "$out.clean")"
  sample "latency.$name.lost" "$(field lost < "$out.clean")"
}
for rep in $(seq 1 "$repeats"); do
  progress "key latency $rep of $repeats"
  write_settings
  start_program "$program" > /dev/null
  latency_once keywhirl
  stop_keywhirl
  start_program "$floor_forward" "$forward_title" > /dev/null
  latency_once forward
  probe close "$forward_title" 10000 > /dev/null
  start_program "$floor_hook" "$hook_title" > /dev/null
  latency_once hook
  probe close "$hook_title" 10000 > /dev/null
  latency_once none
done
report_series "key press to WM_CHAR, p50, Keywhirl" us 1 latency.keywhirl.p50 \
  latency.forward.p50 ratio "<=" 1.1 "ratio <= 1.1"
report_series "key press to WM_CHAR, p50, forward floor" us 1 latency.forward.p50
report_series "key press to WM_CHAR, p50, bare hook floor" us 1 latency.hook.p50
report_series "key press to WM_CHAR, p50, no hook" us 1 latency.none.p50
report_series "key press to WM_CHAR, p99, Keywhirl" us 1 latency.keywhirl.p99 \
  latency.forward.p99 ratio "<=" 1.5 "ratio <= 1.5"
report_series "key press to WM_CHAR, p99, forward floor" us 1 latency.forward.p99
report_series "key press to WM_CHAR, p99, bare hook floor" us 1 latency.hook.p99
report_series "key press to WM_CHAR, p99, no hook" us 1 latency.none.p99
report_series "key press to WM_CHAR, max, Keywhirl" us 1 latency.keywhirl.max latency.forward.max
report_series "key press to WM_CHAR, max, forward floor" us 1 latency.forward.max
for name in keywhirl forward hook none; do
  lost=$(awk '{ s += $1 } END { print s + 0 }' "$work/samples/latency.$name.lost" 2>/dev/null)
  runs=$(wc -l < "$work/samples/latency.$name.lost" 2>/dev/null || echo 0)
  [ "${lost:-0}" -gt 0 ] && report "key latency: characters lost, $name" "$lost" \
    "of $((runs * latency_keys))"
done

# --- typing into another program -----------------------------------------------
# xdotool types 2000 characters into a window of another program, without and
# with Keywhirl (and its keyboard hook) running. The time runs from just
# before xdotool starts (the script's clock) to the last character's arrival
# (the target's precise wall clock). Under Wine that is the same Linux clock;
# the check below asks the target for its clock between two readings of the
# script's and says whether it always lies between them.
clock_check() {
  local before after line stamp inside=0 samples=5 widest=0 i
  coproc CLOCK { wine "$target_exe" --clock 2>/dev/null; }
  # The first answer also waits for the program's start; it is not counted.
  for i in $(seq 0 "$samples"); do
    before=$EPOCHREALTIME
    echo >&"${CLOCK[1]}"
    read -r line <&"${CLOCK[0]}"
    after=$EPOCHREALTIME
    [ "$i" = 0 ] && continue
    stamp=${line%$'\r'}
    stamp=${stamp#unix_ns=}
    read -r ok width < <(awk -v b="${before//[.,]/}" -v a="${after//[.,]/}" -v s="$stamp" 'BEGIN {
      s = s / 1000; print (s >= b && s <= a) ? 1 : 0, a - b }')
    inside=$((inside + ok))
    widest=$(awk -v w="$width" -v m="$widest" 'BEGIN { print (w > m) ? w : m }')
  done
  exec {CLOCK[1]}>&-
  wait "$CLOCK_PID" 2>/dev/null
  report "clock check: the target's clock between two of the script's" "$inside" "of $samples"
  report "clock check: widest of those windows" "$widest" us
  [ "$inside" = "$samples" ]
}
text=$(awk -v n="$characters" 'BEGIN { s = "the quick brown fox jumps over the lazy dog ";
  while (length(t) < n) t = t s; print substr(t, 1, n) }')
type_once() {
  local delay=$1 out="$work/typing.out" window begin last
  rm -f "$out"
  wine "$target_exe" "$characters" 90 > "$out" 2>/dev/null &
  local target=$!
  window=$(timeout 20 xdotool search --sync --name "Keywhirl typing bench" | head -n 1)
  if [ -z "$window" ]; then
    kill "$target" 2>/dev/null
    wait "$target" 2>/dev/null
    return
  fi
  # A click gives the window Wine's focus as well as the X server's.
  xdotool mousemove --window "$window" 150 120 click 1
  sleep 0.5
  begin=$EPOCHREALTIME
  xdotool type --delay "$delay" "$text"
  wait "$target"
  last=$(tr -d '\r' < "$out" | field last_unix_ns)
  [ -n "$last" ] && awk -v b="${begin//[.,]/}" -v l="$last" 'BEGIN { printf "%.1f\n", (l / 1000 - b) / 1000 }'
}
# typing_series NAME DELAY RUNS: figures of the runs go to the samples
# NAME.with (Keywhirl), NAME.forward (the forward floor's hook) and
# NAME.without (no hook), the number of runs that lost characters to
# $work/NAME.lost. (Not printed: a started Keywhirl would hold a captured
# output open.)
typing_series() {
  local name=$1 delay=$2 runs=$3 lost=0 t
  for rep in $(seq 1 "$runs"); do
    progress "typing ($name) $rep of $runs"
    write_settings
    start_program "$program" > /dev/null
    t=$(type_once "$delay")
    if [ -n "$t" ]; then sample "typing.$name.with" "$t"; else lost=$((lost + 1)); fi
    stop_keywhirl
    start_program "$floor_forward" "$forward_title" > /dev/null
    t=$(type_once "$delay")
    if [ -n "$t" ]; then sample "typing.$name.forward" "$t"; else lost=$((lost + 1)); fi
    probe close "$forward_title" 10000 > /dev/null
    t=$(type_once "$delay")
    if [ -n "$t" ]; then sample "typing.$name.without" "$t"; else lost=$((lost + 1)); fi
  done
  echo "$lost" > "$work/$name.lost"
}
# Keywhirl is held against the forward floor: any hook that hands each key
# on costs every key a trip through it, which at full speed is most of the
# time. Without a hook shows what the hooks cost at all.
report_typing() {
  local name=$1 label=$2 runs=$3 lost
  lost=$(cat "$work/$name.lost")
  report_series "typing $characters characters $label, with Keywhirl" ms 1 \
    "typing.$name.with" "typing.$name.forward" ratio "<=" 1.05 "ratio <= 1.05"
  report_series "typing $characters characters $label, forward floor" ms 1 \
    "typing.$name.forward"
  report_series "typing $characters characters $label, no hook" ms 1 \
    "typing.$name.without"
  if [ "$lost" -gt 0 ]; then
    report "typing $label: runs where characters went missing" "$lost" "of $((runs * 3))"
  fi
}
if clock_check; then
  typing_series fast 0 "$typing_runs"
  report_typing fast "at full speed" "$typing_runs"
  typing_series paced "$paced_delay_ms" "$paced_runs"
  report_typing paced "one key per ${paced_delay_ms} ms" "$paced_runs"
else
  echo "typing: not measured, the two clocks do not agree"
fi
exit 0
