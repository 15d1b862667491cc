#!/usr/bin/env bash
# Keywhirl never takes the keys from the program the user types in: a window
# of another program has the focus and receives every character typed while
# Keywhirl starts (splash, hidden main window, keyboard and statistics window
# shown), while the hint pops up and hides again, and after the statistics
# window is switched off and on from the tray icon and its menu.
#   type_while_starting_test.sh HELPER_EXE KEYWHIRL_EXE
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
ready_pid=""
expected=""

cleanup() {
  touch stop-watch
  wine "$helper" close-target >/dev/null 2>&1
  wine "$helper" exit >/dev/null 2>&1
  end_process "$target_pid"
  end_process "$watch_pid"
  end_process "$ready_pid"
  end_process "$keywhirl_pid"
  wine "$helper" settings >/dev/null 2>&1  # leaves no settings behind
  cd /
  rm -rf "$work"
}
trap cleanup EXIT

typed() {
  [ "$(cat typed.txt 2>/dev/null)" = "$expected" ]
}

# Types the text into whatever has the focus and expects it in the target.
type_text() {
  xdotool type --delay 60 "$1"
  expected="$expected$1"
}

check_typed() {
  poll 50 typed || fail "$1: \"$(cat typed.txt)\" instead of \"$expected\""
}

# The keyboard's visibility ($2: 1 shown, 0 hidden) reached after the mark $1.
reached_after() {
  after_mark "$1" | awk -v s="$2" '($2 == "state" && $3 == s) || ($2 == "mark" && $5 == s) \
    { ok = 1 } END { exit !ok }'
}

wine "$helper" settings keyboardAutoPopupping=TRUE keyboardWaitInterval=1500 \
  keyboardIsVisible=TRUE keyboardOpacity=225 showShortStatistics=TRUE \
  enableKeyPressSound=FALSE metronomeRunning=FALSE autoRun=FALSE l10nLanguageCode=ENU ||
  { echo "cannot write the settings"; exit 1; }

wine "$helper" target typed.txt 90000 &
target_pid=$!
poll 100 test -e typed.txt || { echo "the typing target never started"; exit 1; }
window=$(xdotool search --sync --name "Keywhirl hint typing target" | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
type_text "before "
check_typed "typing before the start"

# Typing goes on, word by word, all through the start.
wine "$keywhirl" >/dev/null 2>&1 &
keywhirl_pid=$!
( wine "$helper" ready; echo $? > ready.status ) &
ready_pid=$!
words=0
while [ ! -e ready.status ] && [ $words -lt 60 ]; do
  type_text "w$words "
  words=$((words + 1))
done
poll 300 test -e ready.status || { echo "Keywhirl never got ready"; exit 1; }
[ "$(cat ready.status)" = 0 ] || { echo "Keywhirl did not start"; exit 1; }
[ $words -ge 3 ] || fail "only $words words were typed during the start"
type_text "ready "
check_typed "typing while Keywhirl started"

# The hint: typing faded the keyboard out; a pause brings it back, the next
# key hides it again.
wine "$helper" watch watch.log 60000 &
watch_pid=$!
poll 100 test -s watch.log || { echo "the watcher never started"; exit 1; }
type_text "pause"
mark pause
poll 60 reached_after pause 1 || fail "the hint did not pop up in the pause"
type_text " hint "
mark hint
poll 30 reached_after hint 0 || fail "the hint stayed after typing"
check_typed "typing while the hint popped up and hid"

# The statistics window, shown at start, switched off and on from the tray.
shown=$(wine "$helper" statistics-click | tr -d '\r')
[ "$shown" = 0 ] || fail "the statistics window was not shown at start (after the click: \"$shown\")"
type_text "off "
shown=$(wine "$helper" statistics-click | tr -d '\r')
[ "$shown" = 1 ] || fail "the statistics window did not come back (\"$shown\")"
type_text "on "
check_typed "typing after the statistics window was switched twice"

# The same through the tray menu's item.
shown=$(wine "$helper" statistics-menu | tr -d '\r')
[ "$shown" = 0 ] || fail "the menu item did not hide the statistics window (\"$shown\")"
type_text "menu "
shown=$(wine "$helper" statistics-menu | tr -d '\r')
[ "$shown" = 1 ] || fail "the menu item did not show the statistics window (\"$shown\")"
type_text "end"
check_typed "typing after the statistics window was switched from the tray menu"

foreground=$(wine "$helper" foreground | tr -d '\r')
[ "$foreground" = "Keywhirl hint typing target" ] ||
  fail "the foreground window is \"$foreground\", not the typing target"

echo "typed: \"$(cat typed.txt)\""
echo "watch log:"
cat watch.log
exit $status
