#!/usr/bin/env bash
# Prints the interpreter of one Python version that a deliverable is deployed with:
#
#   scripts/find-python.sh 3.9     $KORVANE_PYTHON39 if set, else the newest 3.9.x
#   scripts/find-python.sh 3.7     under pyenv ($(pyenv root), $PYENV_ROOT or ~/.pyenv)
#
# The drivers link the interpreter's shared libpython and compile against its headers,
# so it must have both. A relative setting is taken from the folder the script runs in,
# and the path printed is absolute.
#
# Where there is no such interpreter, it says why in one line on standard error (one
# line per fault), naming the setting, and fails:
#
#   1   the setting is given (set, even to nothing) and is not such an interpreter
#   3   the setting is unset and no such interpreter was found
#   2   usage
set -euo pipefail

if [ $# -ne 1 ] || [[ ! "$1" =~ ^3\.[0-9]+$ ]]; then
  echo "usage: $0 3.9|3.7" >&2
  exit 2
fi
version="$1"
setting="KORVANE_PYTHON${version/./}"

if [ -n "${!setting+set}" ]; then
  fail=1
  python="${!setting}"
  if [ -z "$python" ]; then
    # What `export KORVANE_PYTHON37=$(scripts/find-python.sh 3.7)` leaves where there is none.
    echo "Python $version: $setting is set but empty; set it to a Python $version interpreter or unset it" >&2
    exit "$fail"
  fi
  [[ "$python" == /* ]] || python="$(realpath -ms -- "$python")"
  subject="$setting=$python"
  if [ ! -f "$python" ] || [ ! -x "$python" ]; then
    echo "Python $version: $subject is not an executable" >&2
    exit "$fail"
  fi
else
  fail=3
  if command -v pyenv >/dev/null; then
    root="$(pyenv root)"
  else
    root="${PYENV_ROOT:-$HOME/.pyenv}"
  fi
  python="$(ls -d "$root/versions/$version".*/bin/"python$version" 2>/dev/null |
            sort -V | tail -n 1 || true)"
  if [ -z "$python" ]; then
    echo "Python $version not found under $root/versions: set $setting to a Python $version interpreter" >&2
    exit "$fail"
  fi
  subject="$python"
fi

# One run of the interpreter tells its version and where its shared library and headers
# are. Python 2 runs it too, so that a wrong version is named as such.
probe='import sys, sysconfig
v = sysconfig.get_config_var
print("%d.%d" % sys.version_info[:2])
print(v("Py_ENABLE_SHARED") or 0)
print(v("LIBDIR") or "")
print(v("INSTSONAME") or "")
print(v("INCLUDEPY") or "")'
found="" shared="" libdir="" soname="" include=""
{ read -r found; read -r shared; read -r libdir; read -r soname; read -r include; } \
  < <("$python" -c "$probe" 2>/dev/null || true) || true

# A version that is not the one asked for would only fail later, in the build.
if [ "$found" != "$version" ]; then
  echo "Python $version: $subject is Python ${found:-that does not run}; set $setting to a Python $version interpreter" >&2
  exit "$fail"
fi

faults=0
if [ "$shared" != 1 ]; then
  why="its Py_ENABLE_SHARED is $shared"
elif [ -z "$soname" ] || [ ! -e "$libdir/$soname" ]; then
  why="$libdir/$soname is missing"
else
  why=""
fi
if [ -n "$why" ]; then
  echo "Python $version: $subject has no shared libpython ($why); build it with --enable-shared (pyenv: PYTHON_CONFIGURE_OPTS=--enable-shared) or point $setting at one that has it" >&2
  faults=1
fi
if [ -z "$include" ] || [ ! -f "$include/Python.h" ]; then
  echo "Python $version: $subject has no headers (no Python.h in ${include:-its INCLUDEPY}); install them or point $setting at one that has them" >&2
  faults=1
fi
[ "$faults" -eq 0 ] || exit "$fail"
echo "$python"
