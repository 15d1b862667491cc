#!/usr/bin/env bash
# Hostile input for every reader of outside data: the language files' XML,
# the WAV files, the settings' INI values and the hook library's WM_COPYDATA
# records, a million inputs each by default. Never part of the tests (CI runs
# a slice); the settings alone take about an hour and a half under Wine.
#   tools/fuzz.sh [COUNT]   (KEYWHIRL_BUILD_DIR picks another build folder)
# A crash or hang leaves its input in BUILD/fuzz/fuzz-KIND-READER.bin.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(realpath -m "${KEYWHIRL_BUILD_DIR:-$root/build}")
count=${1:-1000000}

"$root/tools/bootstrap.sh"
"$root/tools/build.sh" "$build_dir" fuzz_readers
mkdir -p "$build_dir/fuzz"
cd "$build_dir/fuzz"
"$root/tools/wine-session.sh" "$build_dir" \
  wine "$build_dir/tests/fuzz_readers.exe" wav "$count" copydata "$count" xml "$count" \
  ini "$count" | tr -d '\r'
