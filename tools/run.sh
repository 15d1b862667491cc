#!/usr/bin/env bash
# Installs what is missing, builds Keywhirl (the program, its hook library,
# data and help; not the tests) and starts it under Wine.
# With a display it runs there until you end it (tray menu, Exit). Without
# one it runs on its own Xvfb, takes a screenshot after start-up
# (build/screenshot.png) and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEYWHIRL_BUILD_DIR:-$root/build}
source "$root/tools/wine-env.sh"

"$root/tools/bootstrap.sh"
"$root/tools/build.sh" "$build_dir" Keywhirl keywhirl_hook keywhirl_data keywhirl_help

wine_env "$build_dir/wineprefix-run"
program="$build_dir/out/Keywhirl.exe"

if [ -n "${DISPLAY:-}" ]; then
  start_wineserver
  echo "Keywhirl runs: look for its icon in the tray; its tray menu has Exit."
  exec wine "$program"
fi

XVFB_PID=""
trap stop_session EXIT INT TERM
start_xvfb
start_wineserver
# Wine's desktop window with a taskbar gives the tray icon a place to show.
wine explorer /desktop=shell,1280x1024 "$program" </dev/null >/dev/null 2>&1 &
sleep "${KEYWHIRL_SCREENSHOT_DELAY:-10}"
import -window root "$build_dir/screenshot.png"
echo "Keywhirl started on its own display; screenshot: $build_dir/screenshot.png"
