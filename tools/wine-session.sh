#!/usr/bin/env bash
# Runs one command inside a private Wine session: its own WINEPREFIX below the
# build folder, a wineserver kept alive for the whole command, and its own
# Xvfb on a free display. Everything is stopped afterwards, also on failure.
#
#   tools/wine-session.sh BUILD_DIR command [args...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

build_dir=$(realpath -m "$1")
shift

wine_env "$build_dir/wineprefix" tests
XVFB_PID=""
trap stop_session EXIT INT TERM
start_xvfb
start_wineserver

"$@"
