#!/usr/bin/env bash
# Prints the interpreter of one Python version that a deliverable is deployed with:
#
#   scripts/find-python.sh 3.9     $KORVANE_PYTHON39 if set, else the newest 3.9.x
#   scripts/find-python.sh 3.7     under pyenv ($(pyenv root), $PYENV_ROOT or ~/.pyenv)
#
# Where there is none, it says so in one line on standard error, naming the setting,
# and fails.
set -euo pipefail

version="${1:?usage: $0 3.9|3.7}"
setting="KORVANE_PYTHON${version/./}"

if [ -n "${!setting:-}" ]; then
  python="${!setting}"
  if [ ! -x "$python" ]; then
    echo "Python $version: $setting=$python is not an executable" >&2
    exit 1
  fi
else
  if command -v pyenv >/dev/null; then
    root="$(pyenv root)"
  else
    root="${PYENV_ROOT:-$HOME/.pyenv}"
  fi
  python="$(ls -d "$root/versions/$version".*/bin/"python$version" 2>/dev/null |
            sort -V | tail -n 1 || true)"
  if [ -z "$python" ]; then
    echo "Python $version not found under $root/versions: set $setting to a Python $version interpreter" >&2
    exit 1
  fi
fi

# A version that is not the one asked for would only fail later, in the build.
found="$("$python" -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null || true)"
if [ "$found" != "$version" ]; then
  echo "Python $version: $python is Python ${found:-that does not run}; set $setting to a Python $version interpreter" >&2
  exit 1
fi
echo "$python"
