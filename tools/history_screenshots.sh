#!/usr/bin/env bash
# Screenshots of the typing history window with 30 days of made-up history,
# in English and Russian: build/history-ENU.png and build/history-RUS.png.
#   tools/history_screenshots.sh
# With KEYWHIRL_SPEED_UNIT=1 speeds show in words per minute, and the
# pictures are build/history-ENU-wpm.png and build/history-RUS-wpm.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEYWHIRL_BUILD_DIR:-$root/build}
speed_unit=${KEYWHIRL_SPEED_UNIT:-0}
suffix=""
[ "$speed_unit" = 1 ] && suffix="-wpm"
source "$root/tools/wine-env.sh"

wine_env "$build_dir/wineprefix-shots"
XVFB_PID=""
trap stop_session EXIT INT TERM
start_xvfb
start_wineserver

appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
folder="$appdata/Keywhirl"

for code in ENU RUS; do
  rm -rf "$folder"
  mkdir -p "$folder"
  printf '[Settings]\r\nl10nLanguageCode=%s\r\nautoRun=FALSE\r\nshowShortStatistics=FALSE\r\nkeyboardIsVisible=FALSE\r\nspeedUnit=%s\r\n' \
    "$code" "$speed_unit" > "$folder/Keywhirl.ini"
  # Thirty days up to yesterday, with weekends off and a few quiet days.
  python3 - "$folder/History.csv" <<'PY'
import datetime, math, random, sys
random.seed(7)
today = datetime.date.today()
lines = ["date,symbols,activeSeconds,averageSpeed,bestSpeed,effectiveness,evenness,"
         "hesitations,keptSymbols,intervals,intervalSquares"]
for age in range(30, 0, -1):
    day = today - datetime.timedelta(days=age)
    if day.weekday() >= 5 or random.random() < 0.1:
        continue
    symbols = random.randint(3000, 16000)
    speed = 150 + (30 - age) * 2.5 + random.uniform(-20, 20)
    intervals = symbols - random.randint(20, 80)
    gap = 60000.0 / speed
    active = int(intervals * gap)
    squares = int(intervals * (gap * gap) * (1 + random.uniform(0.3, 0.9)))
    kept = int(symbols * random.uniform(0.88, 0.97))
    lines.append("%s,%d,%d.%03d,0.0,%d,0,0,%d,%d,%d,%d" % (
        day.isoformat(), symbols, active // 1000, active % 1000, int(speed * 1.35),
        random.randint(5, 60), kept, intervals, squares))
open(sys.argv[1], "w").write("\r\n".join(lines) + "\r\n")
PY
  # On a Wine desktop, which draws the window frames as Windows would; the
  # probe joins the same desktop to find the program.
  wine explorer /desktop=shots,1280x1024 "$build_dir/out/Keywhirl.exe" </dev/null >/dev/null 2>&1 &
  # The probe runs on the desktop too, where its exit code is not seen:
  # generous pauses instead.
  sleep 12
  probe() {
    wine explorer /desktop=shots,1280x1024 "$build_dir/tests/probe.exe" "$@" </dev/null >/dev/null 2>&1
  }
  # Some typing today, then the tray menu's History... item.
  probe type "the quick brown fox jumps over the lazy dog " 120
  sleep 7
  probe command 32800
  sleep 4
  import -window root "$build_dir/history-$code$suffix.png"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
  wineserver -p 2>/dev/null || true
done
echo "screenshots: $build_dir/history-ENU$suffix.png $build_dir/history-RUS$suffix.png"
