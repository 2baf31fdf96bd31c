#!/usr/bin/env bash
# Runs every benchmark program of build-bench/bin side by side with the reference tools.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
for b in build-bench/bin/bench_*; do
  echo "== $b"
  "$b" --benchmark_counters_tabular=true
done
