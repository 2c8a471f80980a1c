#!/usr/bin/env bash
# The shipped 32-bit LFSetup.exe on a few scenario rows under Wine's WoW64:
# the first install and its round trip, the install from the single-file
# download, the silent install, the quiet uninstall, and one row for each
# fault a real Windows machine brings
# (read-only media, a line that leads out of its folder, files the uninstall
# cannot delete, the licence rejected). CI runs it after the test command.
# Where the kernel cannot start 32-bit programs, qemu's user-mode emulator
# starts them (tools/setup-deps.sh registers it), and a row takes minutes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export LF_WOW64=1
"$top/tools/setup-deps.sh"
cd "$top"
"$top/tools/build.sh" win32
# The rows' time-out follows LF_WOW64 at configure time, and the clean
# machine must be made again with WoW64 in it.
cmake --preset win64 >/dev/null
rm -rf build/win64/wine/golden
cmake --build --preset win64 -j"$(nproc)"
rows='(first_install_files|Install_and_uninstall_with|download\.01_|silent\.0[12]_|read_only_media|lead_out_of|held_open|Reject_and_the).*_x86$'
echo "== the shipped 32-bit program's rows"
cd build/win64
exec ctest -j2 --output-on-failure --timeout 1200 -R "$rows"
