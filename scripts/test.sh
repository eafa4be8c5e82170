#!/usr/bin/env bash
# The whole suite, twice: on the release build and on the ASan+UBSan build; then the
# builds for the deployed Pythons (3.9 and 3.7) with their tests, where those
# interpreters are present; then trellisk.exe, cross-built for Windows, under Wine.
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

for version in 3.9 3.7; do
  setting="KORVANE_PYTHON${version/./}"
  if ! python="$(scripts/find-python.sh "$version" 2>&1)"; then
    echo "== skipped build/py$version: $python"
    continue
  fi
  export "$setting=$python"
  echo "== configuring build/py$version ($python)"
  cmake --preset "py$version" -DKORVANE_DEPLOYMENT_TESTS=ON >/dev/null
  echo "== building build/py$version"
  cmake --build --preset "py$version"
  echo "== testing build/py$version"
  ctest --preset "py$version"
done

if [ -x scripts/test-windows.sh ]; then
  echo "== windows: trellisk.exe under Wine"
  scripts/test-windows.sh
fi
