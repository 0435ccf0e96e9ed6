#!/usr/bin/env python3
"""Time and peak memory of each program on a long restraint list under
noeModel=upper. The list: N distinct restraints (default 10,000) drawn at
random (seed 1) among every pair of a proton class (HN, HA, ... HH) of one
residue and one of another or the same residue, residues 5-30 of the BM2
example, written as an XPLOR/CNS table between chains A and B. In a copy of
the example: noebundle-restraints converts it, noebundle-search searches
the default grid from the deposited chain A, noebundle ranks the kept
placements and noebundle-analyze analyses them.

Usage: /usr/bin/python3 bench/long_list.py [BUILD_DIR] [--restraints N]
"""
import argparse
import os
import random
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLASSES = ["HN", "HA", "HB", "HG", "HD", "HE", "HZ", "HH"]


def timed(command, cwd):
    """Wall time, peak resident memory (MB) and the last line of standard output."""
    with tempfile.TemporaryFile("w+") as out:
        start = time.perf_counter()
        child = subprocess.Popen(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT)
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
        out.seek(0)
        lines = out.read().splitlines()
    assert status == 0, lines[-5:]
    return seconds, usage.ru_maxrss / 1024, lines[-1]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build", nargs="?", default=os.path.join(ROOT, "build"))
    ap.add_argument("--restraints", type=int, default=10000)
    o = ap.parse_args()
    ends = [(r, c) for r in range(5, 31) for c in CLASSES]
    pairs = [(a, b) for i, a in enumerate(ends) for b in ends[i:]]
    chosen = random.Random(1).sample(pairs, o.restraints)
    with tempfile.TemporaryDirectory() as top:
        run = os.path.join(top, "run")
        shutil.copytree(os.path.join(ROOT, "examples", "bm2"), run)
        with open(os.path.join(run, "long.tbl"), "w") as f:
            for (r1, c1), (r2, c2) in chosen:
                f.write("assign (segid A and resid %d and name %s) (segid B and resid %d and name %s) 4.0 2.2 1.0\n"
                        % (r1, c1, r2, c2))
        with open(os.path.join(run, "bm2.param"), "a") as f:
            f.write("noeModel=upper\n")
        build = os.path.abspath(o.build)
        for command in (["noebundle-restraints", "run/long.tbl", "--noe-model", "upper", "--out", "run/bm2.noe"],
                        ["noebundle-search", "run/bm2.param", "--from", "run/2kix_model1.pdb", "--chain", "A"],
                        ["noebundle", "run/bm2.param"],
                        ["noebundle-analyze", "run/bm2.param"]):
            seconds, peak, last = timed([os.path.join(build, command[0])] + command[1:], top)
            print("%-22s %8.2f s %8.1f MB  %s" % (command[0], seconds, peak, last))
        page = os.path.getsize(os.path.join(run, "analysis", "report.html"))
        print("report.html %.1f MB" % (page / 1e6))


if __name__ == "__main__":
    main()
