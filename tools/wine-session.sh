#!/usr/bin/env bash
# Runs one command inside a private Wine session: its own WINEPREFIX below the
# build folder, a wineserver kept alive for the whole command, and its own
# Xvfb on a free display. Everything is stopped afterwards, also on failure.
#
#   tools/wine-session.sh BUILD_DIR command [args...]
set -euo pipefail

build_dir=$(realpath -m "$1")
shift

export WINEPREFIX="$build_dir/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT INT TERM

# A free display number: no lock file and no socket in use.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 50); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done

mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-session: creating the Wine prefix in $WINEPREFIX (once)"
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
wineserver -p
# Start Wine's background services now, with their output going nowhere: a
# service started by the first test would inherit that test's output pipe
# and keep CTest waiting for it to close.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

"$@"
