#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks to build and test
# the setup program: the mingw-w64 cross compilers, wine64, googletest sources,
# Xvfb for screenshots, the native compilers with their sanitizer runtimes,
# zlib for lfpack and, cross-built, for the program (the download's files are
# compressed with it), osslsigncode (Authenticode signing), and
# Python's YAML and JSON Schema modules (the winget manifest and its test).
# Safe to run any number of times: packages already present are skipped.
set -euo pipefail

packages=(
  cmake make g++ binutils
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix binutils-mingw-w64
  wine64 wine
  googletest
  xvfb
  nsis
  bc procps util-linux
  python3 python3-yaml python3-jsonschema
  zlib1g-dev libz-mingw-w64-dev osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

# A mirror part way through a sync serves index files of the wrong size, and
# apt-get then ends with 100 ("Mirror sync in progress?"). Such a fault often
# passes within a minute, so the update is tried again a few times.
apt_retry() {
  local try
  for try in 1 2 3; do
    $SUDO apt-get -o Acquire::Retries=3 "$@" && return 0
    [ "$try" = 3 ] && break
    echo "setup-deps: apt-get $1 failed (try $try of 3); trying again in $((try * 20)) s" >&2
    sleep $((try * 20))
  done
  return 1
}

# An index that cannot be fetched leaves apt with the one it had, or none;
# what it has is still used. Where that is the security suite's i386 index,
# an i386 library can only come from the main suite, while its amd64 twin is
# already at the security suite's newer version, and Multi-Arch wants both at
# one version. The fallback asks for the main suite's versions in this one
# install, which moves those few amd64 libraries to the main suite's version.
update_lists() {
  apt_retry update -qq ||
    echo "setup-deps: some package lists could not be fetched; going on with the ones apt has" >&2
}
install_packages() {
  # A download that fails is tried again by apt itself (Acquire::Retries);
  # a failure to resolve is not passing, so the fallback comes at once.
  $SUDO apt-get -o Acquire::Retries=3 install -y -qq --no-install-recommends "$@" && return 0
  local suite pin
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  pin=$(mktemp)
  printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n' "$suite" >"$pin"
  echo "setup-deps: installing again with the $suite suite's versions preferred" >&2
  local rc=0
  $SUDO apt-get -o Acquire::Retries=3 -o Dir::Etc::Preferences="$pin" \
    -o Dir::Etc::PreferencesParts=/nonexistent \
    install -y -qq --no-install-recommends --allow-downgrades "$@" || rc=$?
  rm -f "$pin"
  return $rc
}

# LF_WOW64=1: the shipped 32-bit program runs too, under Wine's WoW64, which
# needs Debian's wine32 from the i386 architecture. Where the kernel cannot
# start 32-bit programs itself, qemu's user-mode emulator starts them.
if [ "${LF_WOW64:-0}" = 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    update_lists
  fi
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' || missing+=(wine32:i386)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup-deps: installing ${missing[*]}"
  update_lists
  install_packages "${missing[@]}"
fi

if [ "${LF_WOW64:-0}" = 1 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "setup-deps: this kernel cannot start 32-bit programs; registering qemu-i386 for them"
  dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q 'install ok installed' ||
    install_packages qemu-user-static
  [ -e /proc/sys/fs/binfmt_misc/register ] || $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] ||
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
fi
echo "setup-deps: everything is installed"
