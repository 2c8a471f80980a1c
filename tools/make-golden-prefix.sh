#!/usr/bin/env bash
# Builds the "clean Windows machine" that every test starts from: a Wine
# prefix with the display-less null graphics driver, no Mono/Gecko, no
# menu builder, and no links into the host's home folder.
# Usage: make-golden-prefix.sh <folder>   (the folder is replaced)
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
dest=${1:?usage: make-golden-prefix.sh <folder>}
dest=$(realpath -m "$dest")
tmp="$dest.tmp.$$"
rm -rf "$tmp"
mkdir -p "$tmp/home" "$tmp/tmp"

# TMPDIR: Wine's server puts its socket folder there, inside the build
# folder rather than the host's /tmp.
export WINEPREFIX="$tmp/prefix" HOME="$tmp/home" WINEARCH=win64 WINEDEBUG=-all TMPDIR="$tmp/tmp"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share" XDG_CACHE_HOME="$tmp/home/.cache"
unset DISPLAY WAYLAND_DISPLAY

wine wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# Keep menu-builder and the browser helpers switched off for every later run too.
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\DllOverrides' /v mscoree /d '' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\DllOverrides' /v mshtml /d '' /f >/dev/null 2>&1
wineserver -w

# The user's shell folders are links into $HOME; make them real folders so
# that nothing a test does can reach outside the build tree.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir -p "$link"
  fi
done
# The dosdevices z: drive maps the host's root; tests have no business there.
rm -f "$WINEPREFIX/dosdevices/z:"

# Each copy of the prefix must start its own server, not look for this one.
rm -f "$WINEPREFIX/wineserver"
rm -rf "$tmp/tmp"

rm -rf "$dest"
mv "$tmp" "$dest"
echo "golden prefix ready: $dest"
