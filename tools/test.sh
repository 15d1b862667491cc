#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
#   tools/test.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEYWHIRL_BUILD_DIR:-$root/build}

"$root/tools/bootstrap.sh"
"$root/tools/build.sh" "$build_dir"
"$root/tools/wine-session.sh" "$build_dir" \
  ctest --test-dir "$build_dir" --output-on-failure --timeout 300 "$@"
