#!/usr/bin/env bash
# The main job: build the release preset, then run the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
PYTHONPATH="build/release/python:examples" \
  /usr/bin/python3 examples/demo.py --plugins build/release/plugins "$@"
