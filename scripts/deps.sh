#!/usr/bin/env bash
# Installs the Debian packages that one of the Makefile's commands needs, when
# they are missing:
#
#   scripts/deps.sh demo    the compiler, CMake, Ninja, Python with its headers,
#                           numpy and pybind11: what the build and the demo use
#   scripts/deps.sh test    those, GoogleTest and pytest, and mingw-w64, Wine and
#                           locales (the sources of the Japanese locale that gives
#                           Wine code page 932) for the Windows build of trellisk
#   scripts/deps.sh bench   those of demo, and valgrind for the driver
#                           benchmark's profile
#   scripts/deps.sh deploy  the compiler, CMake, Ninja and pybind11: the builds
#                           for the deployed Pythons bring their own Python
#
# apt's output goes to build/deps.log; the screen gets one line. Installing
# needs root or sudo; without either, the script names the missing packages
# and the command that installs them, and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

compile=(gcc g++ libc6-dev cmake ninja-build pybind11-dev)
build=("${compile[@]}" python3 python3-dev python3-numpy)
case "${1:-}" in
  demo) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" libgtest-dev libgmock-dev python3-pytest
                  g++-mingw-w64-x86-64-posix wine64 wine locales) ;;
  bench) packages=("${build[@]}" valgrind) ;;
  deploy) packages=("${compile[@]}") ;;
  *) echo "usage: $0 demo|test|bench|deploy" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  # sudo -v asks for the password if sudo wants one, and fails for a user
  # that may not use it.
  if command -v sudo >/dev/null && sudo -v 2>/dev/null; then
    as_root=(sudo)
  else
    echo "Missing Debian packages: ${missing[*]}. As root, run: apt-get update && apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

mkdir -p build
log="build/deps.log"
echo "== installing ${#missing[@]} Debian packages for make $1: ${missing[*]} (log: $log)"
if ! {
  "${as_root[@]}" apt-get update &&
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y --no-install-recommends "${missing[@]}"
} >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "Installing the packages failed; the whole output is in $log" >&2
  exit 1
fi
