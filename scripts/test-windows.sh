#!/usr/bin/env bash
# trellisk.exe under Wine: cross-builds the windows preset (build/windows), makes
# two fresh Wine prefixes for this run, and runs the process tests marked `wine`
# on the exe there. Wine sets USERPROFILE itself to C:\users\<user>, which is
# drive_c/users/<user> of the prefix; the tests place maya.env below it. One
# prefix is the caller's user's; the other one's user is Łukasz, a name that the
# ANSI code page (1252) cannot hold. Some tests run the first prefix with the
# Japanese ANSI code page (932), which Wine takes from the Unix locale: the run
# compiles ja_JP.UTF-8 into a folder of its own (localedef, with the sources of
# Debian's package locales), and the tests set LOCPATH and LC_ALL on those Wine
# commands alone.
#
# Everything that the run makes, Wine's server folders (wine-XXXXXX, which Wine
# keeps under TMPDIR) and pytest's temporary folders included, lies in one
# folder of the run, which is removed at the end.
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
export HOME="$run/home" TMPDIR="$run/tmp"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
# No Mono/Gecko prompts, no menu entries; arguments reach Wine as UTF-8 whatever
# the caller's locale (Wine's ANSI code page is then 1252).
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
prefix="$run/prefix" wide_prefix="$run/wide-prefix" wide_user="Łukasz" locales="$run/locale"
mkdir -p "$HOME" "$TMPDIR" "$prefix" "$wide_prefix" "$locales"
cleanup() {
  for p in "$prefix" "$wide_prefix"; do WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true; done
  rm -rf "$run"  # never follows a link: the prefixes' own links go, not what they lead to
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
sentinels_before="$(sentinels)"
user_maya_before="$(user_maya)"

# make_prefix <prefix> <user>: a new prefix whose profile belongs to <user>,
# with one server for the whole run (by default it quits when the last program
# ends, and every test would pay for starting it and its services again). Each
# link of its profiles (Documents, Desktop, Downloads, AppData's Templates ...)
# becomes an empty folder of the prefix; rm on a link removes the link alone.
make_prefix() {
  export WINEPREFIX="$1" USER="$2" LOGNAME="$2"
  wineserver -p
  if ! timeout 300 "$wine" wineboot -i >"$1.boot.log" 2>&1; then
    cat "$1.boot.log"
    echo "wineboot failed in $1" >&2
    return 1
  fi
  find "$1/drive_c/users" -type l -print0 |
    while IFS= read -r -d '' link; do
      rm -- "$link"
      mkdir -- "$link"
    done
  if links="$(find "$1/drive_c/users" -type l)" && [ -n "$links" ]; then
    echo "links left in the Wine profiles: $links" >&2
    return 1
  fi
}

# Status 1 of localedef means warnings, with the locale written all the same.
localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >"$run/localedef.log" 2>&1 || true
if [ ! -f "$locales/ja_JP.UTF-8/LC_CTYPE" ]; then
  cat "$run/localedef.log" >&2
  echo "localedef could not compile ja_JP.UTF-8: the Debian package locales holds its sources" >&2
  exit 1
fi

echo "Wine prefixes: $prefix, $wide_prefix ($("$wine" --version 2>/dev/null || echo "$wine"))"
make_prefix "$prefix" "${USER:-$(id -un)}" &
boot=$!
make_prefix "$wide_prefix" "$wide_user" &
wide_boot=$!
wait "$boot"
wait "$wide_boot"

profile="$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)"
wide_profile="$wide_prefix/drive_c/users/$wide_user"
[ -d "$profile" ] && [ -d "$wide_profile" ] || { echo "no user profile in a Wine prefix" >&2; exit 1; }

status=0
WINEPREFIX="$prefix" TRELLISK_WINE_HOME="$profile" \
  TRELLISK_WINE_WIDE_PREFIX="$wide_prefix" TRELLISK_WINE_WIDE_HOME="$wide_profile" \
  TRELLISK_WINE_JA_LOCPATH="$locales" \
  TRELLISK_RUNNER=wine TRELLISK_WINE="$wine" TRELLISK_EXE="$exe" \
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
