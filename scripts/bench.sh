#!/usr/bin/env bash
# Builds the bench preset (build/bench: the release build with the benchmarks,
# without the tests) and runs every benchmark folder's run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/standins.sh
set_platform_locations_aside "make bench"
scripts/deps.sh bench
echo "== configuring build/bench"
cmake --preset bench >/dev/null
echo "== building build/bench"
cmake --build --preset bench
export KORVANE_BUILD_DIR="$PWD/build/bench"
export PYTHONPATH="$KORVANE_BUILD_DIR/python:$PWD/examples:$PWD/tests/support"
for run in bench/*/run.sh; do
  [ -x "$run" ] || continue
  echo "== ${run%/run.sh}"
  "$run"
done
