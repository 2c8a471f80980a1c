# Sourced by the benchmarks that run inside a clean Wine machine: the clock,
# a timed step, NSIS's round and the median. $work is the benchmark's
# scratch folder, $c the machine's C: drive.
now() { date +%s.%N; }
# Times one command in seconds; a failing command ends the benchmark.
timed() {
  local t0 t1
  t0=$(now)
  "$@" > "$work/step.log" 2>&1 || { echo "failed: $*"; cat "$work/step.log"; exit 1; }
  t1=$(now)
  echo "$t1 - $t0" | bc
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
# NSIS's silent install and its uninstall, each timed (t_peer,
# t_peer_uninstall); $1 is a file the install writes and the uninstall removes.
peer_round() {
  t_peer=$(timed wine 'C:\PeerSetup.exe' /S)
  [ -f "$1" ] || { echo "the peer install left no files"; exit 1; }
  # "_?=" keeps the peer's uninstaller in place, so that its end is the
  # uninstall's end (by default it copies itself away and returns at once).
  t_peer_uninstall=$(timed wine 'C:\Peer\World\uninst.exe' /S '_?=C:\Peer\World')
  [ ! -e "$1" ] || { echo "the peer uninstall left the files"; exit 1; }
  rm -rf "$c/Peer"
}
# The head of NSIS's script: the installer's name, output and folder, and
# the work both benchmarks share (tools/benchmark-peer.nsh).
peer_script_head() {
  cat <<NSI
Unicode true
Target amd64-unicode
Name "Peer Browser"
OutFile "$c/PeerSetup.exe"
InstallDir "C:\\Peer\\World"
RequestExecutionLevel admin
!include "$top/tools/benchmark-peer.nsh"
NSI
}
