#!/usr/bin/env python3
"""Prints the kill matrix that tools/mutation-check.sh recorded.

  kill-matrix.py MATRIX.tsv ALL-TESTS

MATRIX.tsv holds one line per fault: number, title, the tests that caught it
(blank-separated). ALL-TESTS holds every test name of the suite. Printed:
each fault with the tests that caught it; each test with the faults that no
other test caught; the tests that catch no fault alone, and those that catch
none at all (the candidates to merge or drop).
"""
import sys

faults = []
for line in open(sys.argv[1], encoding="utf-8"):
    number, title, killers = (line.rstrip("\n").split("\t") + [""])[:3]
    faults.append((int(number), title, killers.split()))
tests = [t.strip() for t in open(sys.argv[2], encoding="utf-8") if t.strip()]

print("kill matrix: fault, then the tests that caught it")
for number, title, killers in faults:
    print("%3d  %s\n       %s" % (number, title, ", ".join(killers) if killers else "MISSED"))

alone = {t: [] for t in tests}
caught = {t: 0 for t in tests}
for number, _, killers in faults:
    for t in killers:
        caught[t] = caught.get(t, 0) + 1
    if len(killers) == 1:
        alone.setdefault(killers[0], []).append(number)
print("\ntests that alone catch a fault (the faults' numbers)")
for t in tests:
    if alone.get(t):
        print("  %-75s %s" % (t, ", ".join(map(str, alone[t]))))
print("\ntests that catch faults, none of them alone (number caught)")
for t in tests:
    if caught.get(t) and not alone.get(t):
        print("  %-75s %d" % (t, caught[t]))
print("\ntests that catch no fault")
for t in tests:
    if not caught.get(t):
        print("  " + t)
