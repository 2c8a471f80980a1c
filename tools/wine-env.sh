# Sourced by the Wine rig scripts. Every program is started through the
# 64-bit loader: with Debian's wine32 installed, the plain "wine" command
# picks the 32-bit loader even for 64-bit programs. A 32-bit program started
# by a 64-bit one still runs under WoW64 where the machine can run it.
WINE64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wine() { "$WINE64" "$@"; }
export WINE64
export -f wine
