#!/usr/bin/env bash
# Runs every benchmark program of a benchmark build, then the peer comparisons that have scripts.
set -euo pipefail
build=${1:-build/bench}
for program in "$build"/bench/bench_*; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_counters_tabular=true
done
for script in bench/*.sh; do
  [ -f "$script" ] || continue
  echo "== $script"
  bash "$script" "$build"
done
