#!/usr/bin/env bash
# Real typing with the keyboard hint on: Keywhirl watches the keys through its
# hook while xdotool types into a window of another program. Typing "abc",
# pausing until the hint pops up and typing "def" must bring every character
# to that window, show the hint in the pause and hide it at the next key.
#   type_with_hint_test.sh HELPER_EXE KEYWHIRL_EXE
set -u
helper=$1
keywhirl=$2
# shellcheck source=typing_test_steps.sh
source "$(dirname "$0")/typing_test_steps.sh"
work=$(mktemp -d)
cd "$work"
status=0
keywhirl_pid=""
target_pid=""
watch_pid=""

cleanup() {
  touch stop-watch
  wine "$helper" close-target >/dev/null 2>&1
  wine "$helper" exit >/dev/null 2>&1
  end_process "$target_pid"
  end_process "$watch_pid"
  end_process "$keywhirl_pid"
  wine "$helper" settings >/dev/null 2>&1  # leaves no settings behind
  cd /
  rm -rf "$work"
}
trap cleanup EXIT

# True once the hint was shown after the mark $1.
shown_after() {
  after_mark "$1" | awk '$2 == "state" && $3 == 1 { ok = 1 } END { exit !ok }'
}

# Prints the milliseconds from the mark $1 to the first hidden state at or
# after it; fails if there is none yet.
hidden_after() {
  after_mark "$1" | awk 'NR == 1 { start = $1; if ($5 == 0) { print 0; found = 1; exit } }
    $2 == "state" && $3 == 0 { print $1 - start; found = 1; exit }
    END { exit !found }'
}

typed() {
  [ "$(cat typed.txt 2>/dev/null)" = "$1" ]
}

wine "$helper" settings keyboardAutoPopupping=TRUE keyboardWaitInterval=1500 \
  keyboardIsVisible=FALSE keyboardOpacity=225 showShortStatistics=FALSE \
  enableKeyPressSound=FALSE metronomeRunning=FALSE autoRun=FALSE l10nLanguageCode=ENU ||
  { echo "cannot write the settings"; exit 1; }

wine "$keywhirl" >/dev/null 2>&1 &
keywhirl_pid=$!
wine "$helper" ready || { echo "Keywhirl never got ready"; exit 1; }

wine "$helper" watch watch.log 60000 &
watch_pid=$!
wine "$helper" target typed.txt 60000 &
target_pid=$!
poll 100 test -e typed.txt || { echo "the typing target never started"; exit 1; }
poll 100 test -s watch.log || { echo "the watcher never started"; exit 1; }

window=$(xdotool search --sync --name "Keywhirl hint typing target" | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3

xdotool type --delay 80 "abc"
mark abc
poll 30 typed abc || fail "\"abc\" did not arrive: \"$(cat typed.txt)\""
# The hint may have popped up before the typing began; "a" hides it, and
# it comes back once 1500 ms pass without a typing key.
poll 60 shown_after abc || fail "the hint did not pop up in the pause"
# Not before the wait was over: 1500 ms from the press of "c", which came a
# little before the mark.
popped=$(after_mark abc | awk 'NR == 1 { start = $1 } $2 == "state" && $3 == 1 { print $1 - start; exit }')
if [ -n "$popped" ] && [ "$popped" -lt 900 ]; then
  fail "the hint popped up $popped ms after \"abc\", before the wait was over"
fi
mark pause-over
after_mark pause-over | head -n 1 | grep -q "state 1" || fail "the hint was gone before the pause ended"

xdotool key d
mark d
# Hidden shortly after the key: at most a second from the mark to the first
# hidden state (the fade itself takes well under 200 ms).
poll 30 hidden_after d >/dev/null || fail "the hint stayed after the key \"d\""
delay=$(hidden_after d)
if [ -n "$delay" ] && [ "$delay" -gt 1000 ]; then
  fail "the hint was hidden only $delay ms after the key \"d\""
fi
xdotool type --delay 80 "ef"
poll 30 typed abcdef || fail "not every character arrived: \"$(cat typed.txt)\" instead of \"abcdef\""

echo "watch log:"
cat watch.log
exit $status
