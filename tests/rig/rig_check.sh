#!/usr/bin/env bash
# Checks of the Wine test rig itself.
#   rig_check.sh refuses-32bit   <emulator...> -- <32-bit exe>
#   rig_check.sh no-test-fails   <emulator...> -- <test exe>
#   rig_check.sh clean-each-run  <emulator...> -- <test exe>
#   rig_check.sh isolated        <emulator...> -- <test exe>
set -uo pipefail
what=$1; shift
emulator=()
while [ "$1" != "--" ]; do emulator+=("$1"); shift; done
emulator+=(--)
shift
exe=$1

fail() { echo "FAIL: $*"; exit 1; }

case "$what" in
  refuses-32bit)
    out=$("${emulator[@]}" "$exe" 2>&1); rc=$?
    [ $rc -ne 0 ] || fail "a 32-bit program was run (exit 0): $out"
    echo "$out" | grep -q "rig probe ran" && fail "the 32-bit program ran"
    echo "$out" | grep -q "refusing" || fail "no refusal message: $out"
    echo "refused as expected" ;;
  no-test-fails)
    out=$("${emulator[@]}" "$exe" --gtest_filter=NoSuchSuite.NoSuchTest 2>&1); rc=$?
    [ $rc -ne 0 ] || fail "a run that selected no test passed: $out"
    echo "$out" | grep -q "no test was selected" || fail "unexpected output: $out"
    echo "an empty run fails as expected" ;;
  clean-each-run)
    # The probe test fails when it finds the marks a previous run left.
    for i in 1 2; do
      "${emulator[@]}" "$exe" --gtest_filter=rig.01_*_x64 >/dev/null 2>&1 ||
        fail "run $i did not start on a clean machine"
    done
    echo "two runs, both on a clean machine" ;;
  isolated)
    # A test that makes Start-menu and desktop shortcuts must leave nothing in
    # the host's home, its menus or /tmp, and no process behind.
    marker=$(mktemp -d); touch "$marker/t"; sleep 1
    before_tmp=$(ls -A /tmp | sort)
    wine_procs='wineserver|winedevice|services.exe|explorer.exe|plugplay|rpcss|svchost'
    before_pids=$(pgrep -f "$wine_procs" | sort)
    "${emulator[@]}" "$exe" --gtest_filter=install.01_*_x64 >/dev/null 2>&1 || fail "probe test failed"
    after_tmp=$(ls -A /tmp | sort)
    new_tmp=$(comm -13 <(echo "$before_tmp") <(echo "$after_tmp") | grep -i wine || true)
    rm -rf "$marker/t"
    [ -z "$new_tmp" ] || fail "left in /tmp: $new_tmp"
    for d in "$HOME/.local/share/applications" "$HOME/Desktop" "$HOME/.config/menus"; do
      if [ -d "$d" ] && [ -n "$(find "$d" -newer "$marker" 2>/dev/null | head -1)" ]; then
        fail "written into the host's $d"
      fi
    done
    rmdir "$marker"
    # Only this build's own Wine processes count (their prefix lies in the
    # emulator's --runs folder): other programs may run Wine beside this check.
    runs=""
    for ((i = 0; i < ${#emulator[@]}; i++)); do
      [ "${emulator[$i]}" = --runs ] && runs=$(realpath -m "${emulator[$((i + 1))]}")
    done
    new_pids=""
    for pid in $(comm -13 <(echo "$before_pids") <(pgrep -f "$wine_procs" | sort)); do
      tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -q "^WINEPREFIX=$runs/" && new_pids+=" $pid"
    done
    [ -z "$new_pids" ] || fail "Wine processes still running: $(ps -o pid,args -p $(echo $new_pids | tr ' ' ,))"
    echo "nothing outside the build folder, nothing left running" ;;
  *) fail "unknown check $what" ;;
esac
