#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the native sanitizer
# build, the 32-bit Windows build (compiled and checked, not run) and the 64-bit Windows
# build, then runs every test, native and under Wine, in one CTest run whose
# summary line ends the output.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup-deps.sh"
"$top/tools/build.sh" native win32 win64

# One CTest run over both test trees.
cat > "$top/build/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "win32" "win64")
CTEST
echo "== tests"
cd "$top/build"
exec ctest -j2 --output-on-failure --timeout 180
