# Sourced by the benchmarks that run inside a clean Wine machine: the clock,
# a timed step and the median. $work is the benchmark's scratch folder.
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
