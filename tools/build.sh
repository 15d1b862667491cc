#!/usr/bin/env bash
# Configures and builds Keywhirl and its tests into BUILD_DIR (default: build).
#   tools/build.sh [BUILD_DIR] [ninja targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
shift || true

if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build_dir" -- "$@"
