#!/usr/bin/env bash
# The deployment build: each deliverable built for the Python it is deployed with, and
# all installed into one layout (plugins/, python/, lib/) under PREFIX (default
# build/deploy):
#
#   diffusion, vantrop           Python 3.9   preset py3.9, build/py3.9
#   panorama, mirelle, orvalis   Python 3.7   preset py3.7, build/py3.7
#
# The interpreters are the settings KORVANE_PYTHON39 and KORVANE_PYTHON37; unset, they
# are found under pyenv (scripts/find-python.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
prefix="${1:-build/deploy}"
scripts/deps.sh deploy

# Both interpreters are looked for before anything is built.
KORVANE_PYTHON39="$(scripts/find-python.sh 3.9)"
KORVANE_PYTHON37="$(scripts/find-python.sh 3.7)"
export KORVANE_PYTHON39 KORVANE_PYTHON37

for version in 3.9 3.7; do
  echo "== configuring build/py$version"
  cmake --preset "py$version" -DKORVANE_DEPLOYMENT_TESTS=OFF >/dev/null
  echo "== building build/py$version"
  cmake --build --preset "py$version"
  echo "== installing build/py$version into $prefix"
  cmake --install "build/py$version" --prefix "$prefix" >/dev/null
done
echo "Installed into $prefix: plugins/ (ARNOLD_PLUGIN_PATH), python/ (PYTHONPATH), lib/"
