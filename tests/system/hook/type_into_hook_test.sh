#!/usr/bin/env bash
# Starts the hook test program under Wine, waits until its window has the
# hook in place, then types real X key events into it with xdotool.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

wine "$program" &
test_pid=$!

for _ in $(seq 1 300); do
  [ -e hook-ready ] && break
  kill -0 "$test_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e hook-ready ]; then
  echo "the test program never got ready"
  wait "$test_pid"
  exit 1
fi

window=$(xdotool search --sync --name "Keywhirl hook test" | head -n 1)
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
xdotool type --delay 60 "aB"
xdotool key --delay 60 Caps_Lock c Caps_Lock Escape

wait "$test_pid"
