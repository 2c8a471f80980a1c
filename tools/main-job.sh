#!/usr/bin/env bash
# The demo: builds the setup package, installs it on a clean Wine machine as
# a user would (answering every question), shows what the install left
# behind, then uninstalls it the way Windows does (the uninstall string of
# the Add/Remove Programs entry) and shows what is left.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup-deps.sh"
mkdir -p "$top/build"
"$top/tools/build.sh" win32 win64 >"$top/build/main-job-build.log" 2>&1 || {
  cat "$top/build/main-job-build.log"; exit 1; }
"$top/tools/make-dist.sh"

b="$top/build/win64"
"$top/tools/wine-run.sh" --golden "$b/wine/golden" --runs "$b/wine/runs" --root "$top" --shell -- \
  "bash '$top/tools/demo-on-machine.sh' '$top'"
