#!/usr/bin/env bash
# The deployment build: each deliverable built for the Python it is deployed with, and
# all installed into one layout (plugins/, python/, lib/) under PREFIX (default
# build/deploy):
#
#   scripts/deploy.sh [PREFIX]
#
#   diffusion, vantrop           Python 3.9   preset py3.9, build/py3.9
#   panorama, mirelle, orvalis   Python 3.7   preset py3.7, build/py3.7
#
# The interpreters are the settings KORVANE_PYTHON39 and KORVANE_PYTHON37; unset, they
# are found under pyenv (scripts/find-python.sh). With ARNOLD_LOCATION, MAYA_LOCATION
# and DEVKIT_LOCATION the build is against the installed Arnold SDK and Maya. A relative PREFIX or setting is taken
# from the folder the command runs in.
set -euo pipefail
if [ $# -gt 1 ]; then
  echo "usage: $0 [PREFIX] (one folder, default build/deploy; quote a PREFIX that holds blanks)" >&2
  exit 2
fi
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ -n "${1:-}" ]; then
  prefix="$(realpath -ms -- "$1")"
else
  prefix="$top/build/deploy"
fi

# Both interpreters are looked for before anything is installed or built, and every
# one that is missing or unfit is named (scripts/find-python.sh says why, one line each).
missing=0
KORVANE_PYTHON39="$("$top/scripts/find-python.sh" 3.9)" || missing=1
KORVANE_PYTHON37="$("$top/scripts/find-python.sh" 3.7)" || missing=1
[ "$missing" -eq 0 ] || exit 1
export KORVANE_PYTHON39 KORVANE_PYTHON37

# The platforms' locations (README, "Deploying"), which the build takes from the
# environment, are taken from the folder the command runs in too.
for name in ARNOLD_LOCATION MAYA_LOCATION DEVKIT_LOCATION; do
  if [ -n "${!name:-}" ]; then
    export "$name=$(realpath -ms -- "${!name}")"
  fi
done

cd "$top"
scripts/deps.sh deploy
for version in 3.9 3.7; do
  echo "== configuring build/py$version"
  cmake --preset "py$version" -DKORVANE_DEPLOYMENT_TESTS=OFF >/dev/null
  echo "== building build/py$version"
  cmake --build --preset "py$version"
  echo "== installing build/py$version into $prefix"
  cmake --install "build/py$version" --prefix "$prefix" >/dev/null
done
# lib/ holds the stand-ins' runtimes: none where both platforms' locations are given.
folders="plugins/ (ARNOLD_PLUGIN_PATH), python/ (PYTHONPATH)"
if [ -d "$prefix/lib" ]; then
  folders+=", lib/"
fi
echo "Installed into $prefix: $folders"
