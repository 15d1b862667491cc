#!/usr/bin/env bash
# The hook taken away behind Keywhirl's back, as the system does with a hook
# that answered too late: typing goes on, and within seconds Keywhirl has its
# hook again and counts the keys, while every character reaches the program
# being typed in.
#   hook_comes_back_test.sh HELPER_EXE KEYWHIRL_EXE
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

cleanup() {
  wine "$helper" close-target >/dev/null 2>&1
  wine "$helper" exit >/dev/null 2>&1
  end_process "$target_pid"
  end_process "$keywhirl_pid"
  wine "$helper" settings >/dev/null 2>&1
  cd /
  rm -rf "$work"
}
trap cleanup EXIT

symbols() {
  wine "$helper" symbols 2>/dev/null | tr -d '\r'
}

symbols_at_least() {
  [ "$(symbols)" -ge "$1" ] 2>/dev/null
}

wine "$helper" settings keyboardAutoPopupping=FALSE keyboardIsVisible=FALSE \
  showShortStatistics=TRUE enableKeyPressSound=FALSE metronomeRunning=FALSE autoRun=FALSE \
  l10nLanguageCode=ENU || { echo "cannot write the settings"; exit 1; }

wine "$keywhirl" >/dev/null 2>&1 &
keywhirl_pid=$!
wine "$helper" ready || { echo "Keywhirl never got ready"; exit 1; }
wine "$helper" target typed.txt 90000 &
target_pid=$!
poll 100 test -e typed.txt || { echo "the typing target never started"; exit 1; }
window=$(xdotool search --sync --name "Keywhirl hint typing target" | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3

xdotool type --delay 80 "abc"
poll 50 symbols_at_least 3 || fail "the hook did not count \"abc\": $(symbols)"

wine "$helper" drop-hook || fail "the hook library has no way to take the hook away"
xdotool type --delay 80 "def"
sleep 0.5
[ "$(symbols)" = "3" ] || fail "keys were still counted without the hook: $(symbols)"

# Typing goes on; the lost hook must be noticed and put back.
typed="abcdef"
back=0
for _ in $(seq 1 20); do
  xdotool type --delay 80 "x"
  typed="${typed}x"
  if symbols_at_least 4; then
    back=1
    break
  fi
  sleep 0.5
done
[ "$back" = 1 ] || fail "the hook never came back: $(symbols) symbols"
poll 30 test "$(cat typed.txt)" = "$typed" ||
  fail "not every character arrived: \"$(cat typed.txt)\" instead of \"$typed\""
exit $status
