#!/usr/bin/env bash
# bench/system/system_bench.sh - the real Keywhirl.exe measured from outside,
# under Wine: start-up, memory, idle processor time, the cost of its keyboard
# hook to typing in another program, and memory after many key records.
#
#   system_bench.sh BUILD_DIR
#
# Runs inside a Wine session (tools/bench.sh starts one), so DISPLAY and
# WINEPREFIX are set. Prints one line per figure in the form of the other
# benchmarks: "<what>  <figure> <unit>   goal <op> <value>: met|MISSED".
# Figures depend on the machine; nothing here fails because a machine is slow.
#
# Environment, for shorter runs:
#   KEYWHIRL_BENCH_IDLE_SECONDS   idle measurement, each (60)
#   KEYWHIRL_BENCH_KEY_RECORDS    key records sent for the memory figure (100000)
#   KEYWHIRL_BENCH_TYPING_RUNS    typing runs with and without Keywhirl, each (5)
#   KEYWHIRL_BENCH_PACED_RUNS     the same at a paced rate (3)
#   KEYWHIRL_BENCH_STARTS         start-ups measured (3)
set -u
build_dir=$(realpath "$1")
helpers="$build_dir/bench/helpers"
probe_exe="$helpers/bench_keywhirl_probe.exe"
target_exe="$helpers/bench_typing_target.exe"
program=$(winepath -w "$build_dir/out/Keywhirl.exe")

idle_seconds=${KEYWHIRL_BENCH_IDLE_SECONDS:-60}
key_records=${KEYWHIRL_BENCH_KEY_RECORDS:-100000}
typing_runs=${KEYWHIRL_BENCH_TYPING_RUNS:-5}
paced_runs=${KEYWHIRL_BENCH_PACED_RUNS:-3}
paced_delay_ms=5
starts=${KEYWHIRL_BENCH_STARTS:-3}
characters=2000
startup_pause_ms=3000
metronome_command=32778
exit_command=32772
clock_ticks=$(getconf CLK_TCK)

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
  if [ -f "$work/Keywhirl.ini.saved" ]; then
    cp "$work/Keywhirl.ini.saved" "$settings_file"
  else
    rm -f "$settings_file"
  fi
  rm -rf "$work"
}
trap finish EXIT

probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
field() { sed -n "s/^$1=//p"; }

# The settings every measured start begins with: the keyboard picture hidden,
# so that it takes no focus from the typing target, and no logon start value
# left behind in the prefix. Everything else keeps its default.
write_settings() {
  mkdir -p "$settings_folder"
  printf '[Settings]\r\nkeyboardIsVisible=FALSE\r\nautoRun=FALSE\r\nmetronomeRunning=FALSE\r\n' \
    > "$settings_file"
}

# The started program inherits the probe's output: a file, not a pipe that
# would stay open as long as Keywhirl runs.
start_keywhirl() {
  write_settings
  wine "$probe_exe" start "$program" > "$work/start.out" 2>/dev/null
  tr -d '\r' < "$work/start.out"
}

stop_keywhirl() {
  probe command "$exit_command" >/dev/null
  probe wait-exit 15000 >/dev/null
}

# The Linux process that runs Keywhirl.exe in this session's prefix.
keywhirl_pid() {
  local pid
  for pid in $(pgrep -f 'Keywhirl\.exe'); do
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

# User and system time of a process in clock ticks (fields 14 and 15 of
# /proc/PID/stat, counted after the command name in parentheses).
cpu_ticks() {
  sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | awk '{ print $12 + $13 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# report WHAT FIGURE UNIT [OP GOAL GOAL_UNIT]
report() {
  local what=$1 figure=$2 unit=$3 op=${4:-} goal=${5:-} goal_unit=${6:-}
  if [ -z "$figure" ]; then
    printf '%-52s %9s\n' "$what" "no figure"
    return
  fi
  if [ -z "$op" ]; then
    printf '%-52s %9s %s\n' "$what" "$figure" "$unit"
    return
  fi
  local verdict
  verdict=$(awk -v f="$figure" -v g="$goal" -v op="$op" 'BEGIN {
    ok = (op == "<") ? f < g : (op == "<=") ? f <= g : 0
    print ok ? "met" : "MISSED" }')
  printf '%-52s %9s %s   goal %s %s%s: %s\n' "$what" "$figure" "$unit" "$op" "$goal" \
    "${goal_unit:+ $goal_unit}" "$verdict"
}

# --- start-up ---------------------------------------------------------------
# From CreateProcess to the end of the main window's initialisation (tray icon,
# hook, windows, autorun value), less the pause the program makes on purpose.
: > "$work/startup"
: > "$work/creation"
for _ in $(seq 1 "$starts"); do
  out=$(start_keywhirl)
  ready=$(echo "$out" | field ready_ms)
  window=$(echo "$out" | field window_ms)
  [ -n "$ready" ] && awk -v r="$ready" -v p="$startup_pause_ms" 'BEGIN { printf "%.0f\n", r - p }' >> "$work/startup"
  [ -n "$window" ] && printf '%.0f\n' "$window" >> "$work/creation"
  stop_keywhirl
done
report "start-up to ready, less the 3 s pause (median)" "$(median < "$work/startup")" ms "<" 300 ms
report "start-up: of it, Wine making the process (median)" "$(median < "$work/creation")" ms

# --- memory after start, idle processor time ---------------------------------
# Two views of memory. Committed private bytes are what the platform calls
# private bytes, but Wine commits every thread's whole stack (2 MB each for
# this program) where Windows commits only the pages a thread touched. The
# resident anonymous memory of the Linux process counts touched pages only,
# which is closer to what Windows reports; from it, what Wine itself keeps in
# every process (a program with one window and nothing else) is taken away.
start_keywhirl > /dev/null
pid=$(keywhirl_pid)
private_start=$(probe memory | field private_bytes)
resident_anon() { awk '/^RssAnon:/ { print $2 * 1024 }' "/proc/$1/status" 2>/dev/null; }
resident_start=$(resident_anon "$pid")

wine "$target_exe" 1 30 > /dev/null 2>&1 &
target_pid=$!
baseline_private=""
for _ in $(seq 1 100); do
  baseline_private=$(probe memory "Keywhirl typing bench" | field private_bytes)
  [ -n "$baseline_private" ] && break
  sleep 0.1
done
baseline_resident=""
for candidate in $(pgrep -f 'bench_typing_target\.exe'); do
  if tr '\0' '\n' < "/proc/$candidate/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    baseline_resident=$(resident_anon "$candidate")
  fi
done
kill "$target_pid" 2>/dev/null
wait "$target_pid" 2>/dev/null
mb() { awk -v b="$1" 'BEGIN { if (b == "") exit; printf "%.1f\n", b / 1048576 }'; }
report "private bytes after start (committed, as Wine counts)" "$(mb "$private_start")" MB
report "private bytes of a one-window program (same)" "$(mb "$baseline_private")" MB
report "resident private memory after start" "$(mb "$resident_start")" MB
report "resident private memory of a one-window program" "$(mb "$baseline_resident")" MB
if [ -n "$resident_start" ] && [ -n "$baseline_resident" ]; then
  report "Keywhirl's own resident private memory" "$(mb $((resident_start - baseline_resident)))" \
    MB "<" 12 MB
fi

thread_ticks() {
  local task
  for task in /proc/"$1"/task/*; do
    echo "${task##*/} $(sed 's/^.*) //' "$task/stat" 2>/dev/null | awk '{ print $12 + $13 }')"
  done
}
# Each thread's voluntary context switches: every time it went to sleep and
# was woken again.
thread_switches() {
  local task
  for task in /proc/"$1"/task/*; do
    echo "${task##*/} $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status" 2>/dev/null)"
  done
}
# Wake-ups per second over the idle time: of all threads, and of the most
# woken one.
wakeups() {
  awk -v s="$idle_seconds" 'NR == FNR { before[$1] = $2; next }
    ($1 in before) { d = $2 - before[$1]; all += d; if (d > m) m = d }
    END { printf "%.1f %.1f\n", all / s, m / s }' "$1" "$2"
}
# Prints the program's, its busiest thread's and the wineserver's share of
# one core over the idle time, in percent, and the wake-ups per second of
# all its threads and of the most woken one.
idle_load() {
  local server before after server_before server_after
  server=$(wineserver_pid)
  thread_ticks "$pid" > "$work/threads.before"
  thread_switches "$pid" > "$work/switches.before"
  before=$(cpu_ticks "$pid")
  server_before=$(cpu_ticks "$server")
  sleep "$idle_seconds"
  after=$(cpu_ticks "$pid")
  server_after=$(cpu_ticks "$server")
  thread_ticks "$pid" > "$work/threads.after"
  thread_switches "$pid" > "$work/switches.after"
  share() { awk -v a="$1" -v b="$2" -v t="$clock_ticks" -v s="$idle_seconds" \
    'BEGIN { if (a == "" || b == "") { print "-"; exit } printf "%.2f\n", (b - a) / t / s * 100 }'; }
  local busiest
  busiest=$(awk 'NR == FNR { before[$1] = $2; next }
    ($1 in before) { d = $2 - before[$1]; if (d > m) m = d } END { print m + 0 }' \
    "$work/threads.before" "$work/threads.after")
  echo "$(share "$before" "$after") $(share 0 "$busiest") $(share "$server_before" "$server_after")" \
    "$(wakeups "$work/switches.before" "$work/switches.after")"
}
if [ -n "$pid" ]; then
  read -r idle_off thread_off server_off wakes_off woken_off <<< "$(idle_load)"
  probe command "$metronome_command" >/dev/null
  sleep 1
  read -r idle_on thread_on server_on wakes_on woken_on <<< "$(idle_load)"
  probe command "$metronome_command" >/dev/null
fi
number() { [ "${1:-}" = "-" ] || echo "${1:-}"; }
report "idle processor time, metronome off (${idle_seconds} s)" "$(number "${idle_off:-}")" "% of a core" "<" 1 %
report "idle, metronome off: its busiest thread" "$(number "${thread_off:-}")" "% of a core"
report "idle, metronome off: wineserver meanwhile" "$(number "${server_off:-}")" "% of a core"
report "idle, metronome off: wake-ups of all threads" "$(number "${wakes_off:-}")" "per second"
report "idle, metronome off: its most woken thread" "$(number "${woken_off:-}")" "per second"
report "idle processor time, metronome on (${idle_seconds} s)" "$(number "${idle_on:-}")" "% of a core"
report "idle, metronome on: its busiest thread" "$(number "${thread_on:-}")" "% of a core"
report "idle, metronome on: wineserver meanwhile" "$(number "${server_on:-}")" "% of a core"
report "idle, metronome on: wake-ups of all threads" "$(number "${wakes_on:-}")" "per second"

# --- memory after key records --------------------------------------------------
# Presses and releases of letters, after a first few thousand that let the
# program's heaps settle. Each press puts one time stamp into each of the
# four monitors that look back over a time window (speed over 1, 10 and 60
# minutes, rhythm over 1 minute), two per record on average; sent within
# seconds, every stamp is still in its window. A stamp in a list costs at most
# some 32 bytes, so growth above 64 bytes per record is memory that is not
# the stamps.
probe keys 2000 > /dev/null
resident_before=$(resident_anon "$pid")
keys=$(probe keys "$key_records")
private_after=$(probe memory | field private_bytes)
resident_after=$(resident_anon "$pid")
report "one key record, sent and taken (WM_COPYDATA)" "$(echo "$keys" | field per_record_us)" us
report "private bytes after $key_records key records (committed)" "$(mb "$private_after")" MB
report "resident private memory after $key_records key records" "$(mb "$resident_after")" MB
if [ -n "$resident_before" ] && [ -n "$resident_after" ]; then
  report "resident growth per key record (time stamps: 2)" \
    "$(awk -v a="$resident_before" -v b="$resident_after" -v n="$key_records" \
      'BEGIN { printf "%.0f\n", (b - a) / n }')" bytes "<=" 64 bytes
fi
stop_keywhirl

# --- input overhead -------------------------------------------------------------
# xdotool types 2000 characters into a window of another program; the time
# from the first to the last character's arrival, without and with Keywhirl
# (and its keyboard hook) running, alternately. Once as fast as xdotool can
# (thousands of characters a second: the hook's cost per key shows in full),
# once paced at one key every 5 ms (still ten times the fastest typist).
text=$(awk -v n="$characters" 'BEGIN { s = "the quick brown fox jumps over the lazy dog ";
  while (length(t) < n) t = t s; print substr(t, 1, n) }')
type_once() {
  local delay=$1 out="$work/typing.out" window
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
  xdotool type --delay "$delay" "$text"
  wait "$target"
  tr -d '\r' < "$out" | field elapsed_ms
}
# typing_series NAME DELAY RUNS: figures of the runs go to $work/NAME.without
# and $work/NAME.with, the number of runs that lost characters to
# $work/NAME.lost. (Not printed: a started Keywhirl would hold a captured
# output open.)
typing_series() {
  local name=$1 delay=$2 runs=$3 lost=0 t
  : > "$work/$name.without"
  : > "$work/$name.with"
  for _ in $(seq 1 "$runs"); do
    t=$(type_once "$delay")
    if [ -n "$t" ]; then echo "$t" >> "$work/$name.without"; else lost=$((lost + 1)); fi
    start_keywhirl > /dev/null
    t=$(type_once "$delay")
    if [ -n "$t" ]; then echo "$t" >> "$work/$name.with"; else lost=$((lost + 1)); fi
    stop_keywhirl
  done
  echo "$lost" > "$work/$name.lost"
}
report_typing() {
  local name=$1 label=$2 runs=$3 without with lost
  lost=$(cat "$work/$name.lost")
  without=$(median < "$work/$name.without")
  with=$(median < "$work/$name.with")
  report "typing $characters characters $label, without Keywhirl" "$without" ms
  report "typing $characters characters $label, with Keywhirl" "$with" ms
  if [ -n "$without" ] && [ -n "$with" ]; then
    report "typing $label: ratio with / without Keywhirl" \
      "$(awk -v a="$with" -v b="$without" 'BEGIN { printf "%.2f\n", a / b }')" "" "<=" 1.05
  fi
  if [ "$lost" -gt 0 ]; then
    report "typing $label: runs where characters went missing" "$lost" "of $((runs * 2))"
  fi
}
typing_series fast 0 "$typing_runs"
report_typing fast "at full speed" "$typing_runs"
typing_series paced "$paced_delay_ms" "$paced_runs"
report_typing paced "one key per ${paced_delay_ms} ms" "$paced_runs"
exit 0
