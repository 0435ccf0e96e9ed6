#!/usr/bin/env python3
# The largest inputs the program accepts run to the end in bounded memory: a
# 5000-residue helix, 100 restraints and 100,000 candidates with a small template.
# Usage: limits_test.py NOEBUNDLE
import os
import resource
import subprocess
import sys
import tempfile

MEMORY_LIMIT_MB = 300

with tempfile.TemporaryDirectory() as top:
    work = os.path.join(top, "work")
    subprocess.run([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench", "workload.py"),
                    work, "--residues", "5000", "--restraints", "100", "--candidates", "100000", "--protomers", "3",
                    "--template-atoms", "2"], check=True)
    result = subprocess.run([os.path.abspath(sys.argv[1]), os.path.join(work, "work.param")], capture_output=True, text=True)
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    lines = result.stdout.splitlines()
    assert result.returncode == 0, result.stdout[-500:]
    assert lines[0] == "100000 structures are calculated:" and lines[2] == "   1    0.000", lines[:3]
    assert lines[-1].startswith("[Done] 100000 structures"), lines[-1]
    assert os.path.getsize(os.path.join(work, "work_100000.pdb")) > 0
print("5000 residues, 100 restraints, 100000 candidates: done, peak memory %.0f MB" % peak)
assert peak < MEMORY_LIMIT_MB, peak
