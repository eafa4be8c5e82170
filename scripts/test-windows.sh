#!/usr/bin/env bash
# trellisk.exe under Wine: cross-builds the windows preset (build/windows), makes
# a fresh Wine prefix for this run, and runs the process tests marked `wine` on
# the exe there. Wine sets USERPROFILE itself to C:\users\<user>, which is
# drive_c/users/<user> of the prefix; the tests place maya.env below it.
#
# The run never reaches the user's home folder. A new Wine profile links its
# Documents, Desktop, Music ... to $HOME, so Documents\maya would be ~/maya, where
# Maya on Linux keeps a user's preferences. So Wine gets a home folder of the
# run's own (HOME below), the profile's links are replaced by folders of the
# prefix before any test, and the run fails where a sentinel in that home folder
# or the user's ~/maya changed.
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

run="$(mktemp -d "${TMPDIR:-/tmp}/trellisk-wine.XXXXXX")"
user_home="${HOME:-}"
export HOME="$run/home" WINEPREFIX="$run/prefix"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
# No Mono/Gecko prompts, no menu entries; arguments reach Wine as UTF-8 whatever
# the caller's locale (Wine's ANSI code page is then 1252).
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
mkdir -p "$HOME" "$WINEPREFIX"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$run"  # never follows a link: the prefix's own links go, not what they lead to
}
trap cleanup EXIT

# Sentinels where a profile's Documents would lead (Wine takes $HOME/Documents
# where it exists, else $HOME), and what the user's ~/maya holds: names and
# kinds only, so that Maya running meanwhile does not fail the run.
mkdir -p "$HOME/maya/prefs" "$HOME/Documents/maya/prefs"
echo "must survive the tests" >"$HOME/maya/prefs/userPrefs.mel"
echo "must survive the tests" >"$HOME/Documents/maya/prefs/userPrefs.mel"
sentinels() { (cd "$HOME" && find maya Documents -printf '%p %y %s %T@\n' | sort); }
user_maya() {
  if [ -n "$user_home" ] && [ -e "$user_home/maya" ]; then
    find "$user_home/maya" -printf '%P %y\n' 2>/dev/null | sort
  else
    echo "no ~/maya"
  fi
}
user_maya_before="$(user_maya)"

echo "Wine prefix: $WINEPREFIX ($("$wine" --version 2>/dev/null || echo "$wine"))"
# One server for the whole run: by default it quits when the last program
# ends, and every test would pay for starting it and its services again.
wineserver -p
if ! timeout 300 "$wine" wineboot -i >"$run/boot.log" 2>&1; then
  cat "$run/boot.log"
  echo "wineboot failed" >&2
  exit 1
fi

profile="$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)"
[ -d "$profile" ] || { echo "no user profile in the Wine prefix" >&2; exit 1; }

# Each link of the profiles (Documents, Desktop, Downloads, AppData's Templates
# ...) becomes an empty folder of the prefix. rm on a link removes the link alone.
find "$WINEPREFIX/drive_c/users" -type l -print0 |
  while IFS= read -r -d '' link; do
    rm -- "$link"
    mkdir -- "$link"
  done
if links="$(find "$WINEPREFIX/drive_c/users" -type l)" && [ -n "$links" ]; then
  echo "links left in the Wine profiles: $links" >&2
  exit 1
fi
sentinels_before="$(sentinels)"

status=0
TRELLISK_RUNNER=wine TRELLISK_WINE="$wine" TRELLISK_EXE="$exe" TRELLISK_WINE_HOME="$profile" \
  timeout 600 /usr/bin/python3 -m pytest -q -p no:cacheprovider -m wine \
  tests/trellisk || status=$?

if [ "$(sentinels)" != "$sentinels_before" ]; then
  echo "FAILED: the Wine tests reached the home folder that Wine was given ($HOME)" >&2
  status=1
fi
if [ "$(user_maya)" != "$user_maya_before" ]; then
  echo "FAILED: $user_home/maya changed during the Wine tests" >&2
  status=1
fi
exit "$status"
