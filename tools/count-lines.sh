#!/usr/bin/env bash
# Counts non-blank, non-comment lines of C/C++ (and resource scripts) and of
# scenario rows: the program (src/), the test cases (tests/ without the rig:
# rows, shared blocks, unit tables), the rig (the scenario runner, the
# stand-ins, the test entry point, the rig probes), and the tools (the window
# driver and lfdrive, the plain-copy program), which are not tests.
set -euo pipefail
cd "$(dirname "$0")/.."
# Blank lines, // comment lines and the rows' # comment lines do not count.
count() {
  local n=0 f
  for f in "$@"; do
    case "$f" in
      *.scn) n=$((n + $(grep -cvE '^\s*(#.*)?$' "$f" || true))) ;;
      *) n=$((n + $(grep -cvE '^\s*(//.*)?$' "$f" || true))) ;;
    esac
  done
  echo "$n"
}
code_files() { git ls-files -co --exclude-standard -- "$@" | grep -E '\.(c|cc|cpp|h|hpp|rc|scn)$' || true; }
rig_re='^tests/(support/|standins/|rig/|e2e/scenario_runner\.cpp|e2e/machine\.(cpp|h))'
src=$(count $(code_files src))
rig=$(count $(code_files tests | grep -E "$rig_re"))
tools=$(count $(code_files tools))
cases=$(count $(code_files tests | grep -vE "$rig_re"))
echo "program (src/):              $src"
echo "test cases (tests/ but rig): $cases  ($((100 * cases / src))% of the program)"
echo "rig infrastructure:          $rig"
echo "all of tests/:               $((cases + rig))  ($((100 * (cases + rig) / src))% of the program)"
echo "tools (driver, lfdrive, ...): $tools"
