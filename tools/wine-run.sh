#!/usr/bin/env bash
# Runs one 64-bit Windows executable under Wine on a clean machine of its own.
#
#   wine-run.sh --golden DIR --runs DIR --root DIR [--keep] -- program.exe [args...]
#   wine-run.sh --golden DIR --runs DIR --root DIR --shell -- 'bash commands'
#
# --memory keeps the machine's changes in memory (tmpfs) instead of on the
# disk: the many-files benchmarks use it, so that what the disk's file
# system did before a run (which inodes it freed a few minutes ago) does not
# weigh on the run's time. Without namespaces the plain copy stays on disk.
#
# With --shell the commands run inside the same clean machine (WINEPREFIX
# set), so that several programs can run one after another on it, as the
# demo of an install followed by an uninstall does.
#
# Every call gets a fresh copy of the golden prefix (registry and C: drive as
# after a fresh install) as an overlay in a private mount namespace, with a
# private /tmp, inside a private process namespace: when the program ends, the
# kernel ends the Wine server and every process the run started, and the
# overlay disappears with the namespace. Nothing lands outside --runs, and the
# host's home, desktop and menus are never touched. --root is mapped as drive
# T: so that the program can be found; the host's root is not mapped.
# Where namespaces are not available, a plain copy of the prefix is used and
# the Wine server is stopped for that prefix afterwards.
#
# The exit code is the program's. A program that is not a PE32+ (x86-64)
# executable is refused: a 32-bit one would "succeed" under wine64 without
# running at all.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

golden="" runs="" root="" keep=0 shell=0 memory=0
while [ $# -gt 0 ]; do
  case "$1" in
    --golden) golden=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --shell) shell=1; shift ;;
    --memory) memory=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "wine-run: no program given" >&2; exit 2; }
[ -n "$golden" ] && [ -n "$runs" ] && [ -n "$root" ] || { echo "wine-run: --golden, --runs and --root are required" >&2; exit 2; }
exe=$1; shift
golden=$(realpath -m "$golden") runs=$(realpath -m "$runs") root=$(realpath -m "$root")

# PE32+ check: "MZ", e_lfanew at 0x3C, "PE\0\0", optional-header magic 0x20B.
pe_is_x64() {
  local f=$1 off sig magic
  [ "$(head -c 2 "$f" 2>/dev/null)" = "MZ" ] || return 1
  off=$(od -An -t u4 -j 60 -N 4 "$f" | tr -d ' ')
  sig=$(od -An -t x1 -j "$off" -N 4 "$f" | tr -d ' \n')
  [ "$sig" = "50450000" ] || return 1
  magic=$(od -An -t x2 -j $((off + 24)) -N 2 "$f" | tr -d ' \n')
  [ "$magic" = "020b" ]
}
if [ "$shell" = 0 ] && ! pe_is_x64 "$exe"; then
  echo "wine-run: refusing '$exe': not a 64-bit (PE32+) Windows executable" >&2
  exit 3
fi

[ -f "$golden/prefix/system.reg" ] || { echo "wine-run: no golden prefix in '$golden'" >&2; exit 2; }
mkdir -p "$runs"
run=$(mktemp -d "$runs/run.XXXXXX")
cleanup() { [ "$keep" = 1 ] || rm -rf "$run"; }
trap cleanup EXIT

export WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$run/home" XDG_CONFIG_HOME="$run/home/.config" XDG_DATA_HOME="$run/home/.local/share" XDG_CACHE_HOME="$run/home/.cache"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"

inner=$(cat <<'INNER'
set -eu
# The private /tmp hides whatever lives under the host's /tmp, such as a
# checkout there: those folders are bound back in from the old /tmp, which
# stays reachable through a descriptor opened before the mount.
exec 9</tmp
mount -t tmpfs -o mode=1777 tmpfs /tmp
for path in "$GOLDEN" "$RUN" "$ROOT"; do
  case "$path" in
    /tmp/*)
      top=${path#/tmp/}; top=${top%%/*}
      if [ ! -e "/tmp/$top" ]; then
        mkdir -p "/tmp/$top"
        mount --no-canonicalize --bind "/proc/self/fd/9/$top" "/tmp/$top"
      fi ;;
  esac
done
exec 9<&-
changes=$RUN
if [ "$MEMORY" = 1 ]; then
  mkdir -p "$RUN/memory" && mount -t tmpfs tmpfs "$RUN/memory" && changes=$RUN/memory
fi
mkdir -p "$changes/upper" "$changes/work" "$RUN/prefix"
mount -t overlay overlay -o "lowerdir=$GOLDEN/prefix,upperdir=$changes/upper,workdir=$changes/work" "$RUN/prefix"
ln -sfn "$ROOT" "$RUN/prefix/dosdevices/t:"
# S: is a drive with 1 MB free, for rows about a destination short of space.
mkdir -p "$RUN/small" && mount -t tmpfs -o size=1m tmpfs "$RUN/small" && ln -sfn "$RUN/small" "$RUN/prefix/dosdevices/s:"
export WINEPREFIX="$RUN/prefix"
cd "$ROOT"
set +e
if [ "$SHELL_MODE" = 1 ]; then bash -c "$1"; else wine "$@"; fi
rc=$?
echo "$rc" > "$RUN/rc"
exit "$rc"
INNER
)

export RUN="$run" GOLDEN="$golden" ROOT="$root" SHELL_MODE="$shell" MEMORY="$memory"
if unshare --fork --pid --mount-proc --mount --propagation private true 2>/dev/null; then
  set +e
  unshare --fork --pid --mount-proc --mount --propagation private bash -c "$inner" wine-run "$exe" "$@"
  rc=$?
  set -e
  # When the namespace's first process ends, the kernel kills the rest (the
  # Wine server among them); the overlay mount goes with the namespace.
  umount "$run/prefix" 2>/dev/null || true
else
  cp -a "$golden/prefix" "$run/prefix"
  ln -sfn "$root" "$run/prefix/dosdevices/t:"
  export WINEPREFIX="$run/prefix"
  set +e
  if [ "$shell" = 1 ]; then (cd "$root" && bash -c "$exe"); else (cd "$root" && wine "$exe" "$@"); fi
  rc=$?
  set -e
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
fi
exit "$rc"
