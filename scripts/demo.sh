#!/usr/bin/env bash
# The demo: installs what the build and the demo need, builds the demo preset
# (build/demo: the release build without the tests and the benchmarks), then
# renders the demo scene through the four drivers into demo-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/standins.sh
set_platform_locations_aside "make demo"
scripts/deps.sh demo
echo "== configuring build/demo"
cmake --preset demo >/dev/null
echo "== building build/demo"
cmake --build --preset demo
echo "== running the demo"
PYTHONPATH="build/demo/python:examples" \
  /usr/bin/python3 examples/demo.py --plugins build/demo/plugins "$@"
