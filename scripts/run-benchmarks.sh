#!/usr/bin/env bash
# Runs every benchmark executable of a build directory.
set -euo pipefail
build_dir=${1:-build}
for b in "$build_dir"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.5
done
if [ -d "$build_dir/python/kvsorv" ]; then
  echo "== python_member_bench"
  PYTHONPATH="$build_dir/python" /usr/bin/python3 "$(dirname "$0")/../bench/python_member_bench.py"
fi
