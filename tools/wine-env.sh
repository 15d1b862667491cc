# tools/wine-env.sh - shared by the scripts that run Keywhirl under Wine.
# Source it; it defines functions and changes nothing by itself.

# wine_env PREFIX_FOLDER: a private Wine prefix that never asks for Mono or
# Gecko. With "tests" as second argument a crashing program ends at once
# instead of waiting in Wine's debugger until the test times out.
wine_env() {
  export WINEPREFIX="$1"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "${2:-}" = tests ]; then
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  fi
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
}

# start_xvfb: its own X server on a free display; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local display=99
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display}" ] && break
    sleep 0.1
  done
}

# start_wineserver: makes the prefix once, keeps one wineserver for the
# session and starts Wine's services with their output going nowhere (a
# service started by a test would otherwise keep that test's pipe open).
start_wineserver() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix in $WINEPREFIX (once)"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Windows' Arial and Times have metric twins in the Liberation fonts;
    # without them Wine falls back to wider faces and texts overflow.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p 2>/dev/null || true  # one may already serve this prefix
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# stop_session: ends every Wine process of the prefix and our X server.
stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" >/dev/null 2>&1 || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
