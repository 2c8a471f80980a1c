#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks to build and test
# the setup program: the mingw-w64 cross compilers, wine64, googletest sources,
# Xvfb for screenshots, and the native compilers with their sanitizer runtimes.
# Safe to run any number of times: packages already present are skipped.
set -euo pipefail

packages=(
  cmake make g++ binutils
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix binutils-mingw-w64
  wine64 wine
  googletest
  xvfb
  bc procps util-linux
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-deps: everything is installed"
  exit 0
fi

echo "setup-deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
