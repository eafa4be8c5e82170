#!/usr/bin/env bash
# Driver benchmark: vantrop's bucket streaming into the sample receiver
# (stream_bench.py says what it measures and how). Run by `make bench`.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
: "${KORVANE_BUILD_DIR:=$repo/build/release}"
export KORVANE_BUILD_DIR
export PYTHONPATH="${PYTHONPATH:-$KORVANE_BUILD_DIR/python:$repo/examples}"
exec /usr/bin/python3 "$here/stream_bench.py" "$@"
