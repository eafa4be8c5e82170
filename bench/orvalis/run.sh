#!/usr/bin/env bash
# Benchmarks of orvalis; run by `make bench` with KORVANE_BUILD_DIR and PYTHONPATH set.
set -euo pipefail
cd "$(dirname "$0")"
export PYTHONPATH="${PYTHONPATH:+$PYTHONPATH:}$(cd ../../tests/support && pwd)"
/usr/bin/python3 bench_render_view.py
/usr/bin/python3 bench_camera_mask.py
