#!/usr/bin/env bash
# trellisk.exe under Wine: cross-builds the windows preset (build/windows), makes
# a fresh Wine prefix for this run, and runs the process tests marked `wine` on
# the exe there. Wine sets USERPROFILE itself to C:\users\<user>, which is
# drive_c/users/<user> of the prefix; the tests place maya.env below it.
set -euo pipefail
cd "$(dirname "$0")/.."

# TRELLISK_WINDOWS_BUILD lets a developer use a build folder of their own.
build="${TRELLISK_WINDOWS_BUILD:-build/windows}"
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build"
exe="$PWD/$build/bin/trellisk.exe"

wine=wine64
command -v wine64 >/dev/null || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || command -v "$wine" >/dev/null || wine=wine

export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko prompts
WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/trellisk-wine.XXXXXX")"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "Wine prefix: $WINEPREFIX ($("$wine" --version 2>/dev/null || echo "$wine"))"
# One server for the whole run: by default it quits when the last program
# ends, and every test would pay for starting it and its services again.
wineserver -p
if ! timeout 300 "$wine" wineboot -i >"$WINEPREFIX.boot.log" 2>&1; then
  cat "$WINEPREFIX.boot.log"; rm -f "$WINEPREFIX.boot.log"
  echo "wineboot failed" >&2
  exit 1
fi
rm -f "$WINEPREFIX.boot.log"

home="$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)"
[ -d "$home" ] || { echo "no user profile in the Wine prefix" >&2; exit 1; }

TRELLISK_RUNNER=wine TRELLISK_WINE="$wine" TRELLISK_EXE="$exe" TRELLISK_WINE_HOME="$home" \
  timeout 600 /usr/bin/python3 -m pytest -q -p no:cacheprovider -m wine \
  tests/trellisk
