#!/usr/bin/env bash
# ADD and REMOVE on maya.env files of growing size; run by `make bench` with
# KORVANE_BUILD_DIR set to a release build.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exec /usr/bin/python3 "$here/bench.py" "${KORVANE_BUILD_DIR:?set KORVANE_BUILD_DIR}/bin/trellisk" "$@"
