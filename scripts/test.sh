#!/usr/bin/env bash
# The whole suite, twice: on the release build and on the ASan+UBSan build; then the
# builds for the deployed Pythons (3.9 and 3.7) with their tests, where those
# interpreters are present; then trellisk.exe, cross-built for Windows, under Wine.
#
# KORVANE_PYTHON39 and KORVANE_PYTHON37 name those interpreters; unset, they are looked
# for under pyenv (scripts/find-python.sh). A setting that is given and is not such an
# interpreter stops the run before anything is installed or built; an unset one whose
# interpreter is not found skips that build, with the reason.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"

# A relative setting is taken from the folder the command runs in.
declare -A python skipped
given_wrong=0
for version in 3.9 3.7; do
  status=0
  found="$("$top/scripts/find-python.sh" "$version" 2>&1)" || status=$?
  case "$status" in
    0) python[$version]="$found" ;;
    3) skipped[$version]="${found//$'\n'/; }" ;;
    *) echo "$found" >&2; given_wrong=1 ;;
  esac
done
[ "$given_wrong" -eq 0 ] || exit 1

# What the tests make in the temporary folder (pytest's folders, Wine's server folders,
# the tests' own) lies in one folder of this run, removed at the end. Every user may
# pass through it: some tests run the program as another user in folders below it.
run_tmp="$(mktemp -d "${TMPDIR:-/tmp}/korvane-test.XXXXXX")"
trap 'rm -rf "$run_tmp"' EXIT
chmod 755 "$run_tmp"
export TMPDIR="$run_tmp"

cd "$top"
source scripts/standins.sh
set_platform_locations_aside "make test"
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
  if [ -z "${python[$version]:-}" ]; then
    echo "== skipped build/py$version: ${skipped[$version]:-}"
    continue
  fi
  export "KORVANE_PYTHON${version/./}=${python[$version]}"
  echo "== configuring build/py$version (${python[$version]})"
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
