#!/usr/bin/env python3
"""Runs the hand-prepared BM2 example and reads every structure file with gemmi.

Usage: check_structures.py NOEBUNDLE EXAMPLE_DIR

Each bm2_k.pdb must parse and hold the four protomers' atoms; the best
one's core CA atoms must superpose on the deposited tetramer's within 1.5 A.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import gemmi

from check_recovery import rmsd_to_deposited

# The helical core; the termini of the deposited chains are frayed and not symmetric.
FIRST, LAST = 5, 30


def main():
    exe, example = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as top:
        run = os.path.join(top, "run")
        shutil.copytree(example, run)
        subprocess.run([exe, "run/bm2.param"], cwd=top, check=True, stdout=subprocess.DEVNULL)
        count = sum(1 for line in open(os.path.join(example, "bm2.cs")))
        atoms = 4 * sum(1 for line in open(os.path.join(example, "origin.pdb")) if line.startswith("ATOM"))
        for k in range(1, count + 1):
            n = gemmi.read_structure(os.path.join(run, "bm2_%d.pdb" % k))[0].count_atom_sites()
            assert n == atoms, "bm2_%d.pdb holds %d atoms, not %d" % (k, n, atoms)
        rmsd = rmsd_to_deposited(os.path.join(run, "bm2_1.pdb"), os.path.join(example, "2kix_model1.pdb"), FIRST, LAST)
    print("%d structure files read; CA RMSD of the best against the deposited tetramer: %.2f A" % (count, rmsd))
    assert rmsd < 1.5, rmsd


if __name__ == "__main__":
    main()
