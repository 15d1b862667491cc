#!/usr/bin/env bash
# Builds and runs every benchmark in one Wine session and prints their figures
# as one table. Never part of the tests: figures depend on the machine.
#   tools/bench.sh          (KEYWHIRL_BUILD_DIR picks another build folder)
# The raw output and the table are also kept in BUILD/bench/results.txt and
# BUILD/bench/results.md. bench/README.md says what each figure means and
# which variables shorten a run; by default it takes some 20 minutes, almost
# all of it bench/system/system_bench.sh, which prints its own estimate.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(realpath -m "${KEYWHIRL_BUILD_DIR:-$root/build}")

"$root/tools/bootstrap.sh"
# The other benchmarks take a minute or two besides the system part.
echo "bench: about $(($(bash "$root/bench/system/system_bench.sh" --estimate) + 2)) minutes" >&2
"$root/tools/build.sh" "$build_dir"

run_all() {
  for program in "$build_dir"/bench/*.exe; do
    [ -e "$program" ] || continue
    name=$(basename "$program" .exe)
    echo "bench: ${name#bench_}" >&2
    echo "== ${name#bench_}"
    wine "$program" 2>/dev/null | tr -d '\r'
  done
  echo "bench: system" >&2
  echo "== system"
  bash "$root/bench/system/system_bench.sh" "$build_dir"
}
export -f run_all
export build_dir root
"$root/tools/wine-session.sh" "$build_dir" bash -c run_all > "$build_dir/bench/results.txt"
python3 "$root/bench/bench_table.py" < "$build_dir/bench/results.txt" | tee "$build_dir/bench/results.md"
