#!/usr/bin/env bash
# The whole suite, twice: on the release build and on the ASan+UBSan build;
# then trellisk.exe, cross-built for Windows, under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

for preset in release asan; do
  echo "== configuring build/$preset"
  cmake --preset "$preset" >/dev/null
  echo "== building build/$preset"
  cmake --build --preset "$preset"
  echo "== testing build/$preset"
  ctest --preset "$preset"
done

if [ -x scripts/test-windows.sh ]; then
  echo "== windows: trellisk.exe under Wine"
  scripts/test-windows.sh
fi
