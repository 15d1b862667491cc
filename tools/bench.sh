#!/usr/bin/env bash
# Builds and runs every benchmark under bench/ in one Wine session and
# prints their figures. Never part of the tests: figures depend on the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEYWHIRL_BUILD_DIR:-$root/build}

"$root/tools/bootstrap.sh"
"$root/tools/build.sh" "$build_dir"
run_all() {
  for program in "$build_dir"/bench/*.exe; do
    [ -e "$program" ] || continue
    echo "== $(basename "$program" .exe)"
    wine "$program"
  done
}
export -f run_all
export build_dir
"$root/tools/wine-session.sh" "$build_dir" bash -c run_all
