#!/usr/bin/env bash
# Builds the release preset and runs every benchmark folder's run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
export KORVANE_BUILD_DIR="$PWD/build/release"
export PYTHONPATH="$KORVANE_BUILD_DIR/python:$PWD/examples:$PWD/tests/support"
for run in bench/*/run.sh; do
  [ -x "$run" ] || continue
  echo "== ${run%/run.sh}"
  "$run"
done
