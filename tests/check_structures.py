#!/usr/bin/env python3
"""Runs the BM2 example and reads every structure file with gemmi.

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

# The helical core; the termini of the deposited chains are frayed and not symmetric.
FIRST, LAST = 5, 30


def ca_by_protomer(structure):
    groups = {}
    for chain in structure[0]:
        for residue in chain:
            ca = residue.find_atom("CA", "*")
            if ca is not None and FIRST <= residue.seqid.num <= LAST:
                groups.setdefault(residue.segment.strip(), []).append(ca.pos)
    return [groups[key] for key in sorted(groups)]


def check(run, name, count, atoms, deposited):
    for k in range(1, count + 1):
        st = gemmi.read_structure("%s/%s_%d.pdb" % (run, name, k))
        n = st[0].count_atom_sites()
        assert n == atoms, "%s_%d.pdb holds %d atoms, not %d" % (name, k, n, atoms)
    model = ca_by_protomer(gemmi.read_structure("%s/%s_1.pdb" % (run, name)))
    chains = [[r.find_atom("CA", "*").pos for r in chain if FIRST <= r.seqid.num <= LAST]
              for chain in gemmi.read_structure(deposited)[0]]
    best = None
    n = len(chains)
    for direction in (1, -1):  # the ring may run either way round
        target = [p for i in range(n) for p in chains[(i * direction) % n]]
        mobile = [p for protomer in model for p in protomer]
        rmsd = gemmi.superpose_positions(target, mobile).rmsd
        best = rmsd if best is None else min(best, rmsd)
    print("CA RMSD of the best structure against the deposited oligomer: %.2f A" % best)
    assert best < 1.5, best


def main():
    exe, example = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as top:
        shutil.copytree(example, os.path.join(top, "run"))
        subprocess.run([exe, "run/bm2.param"], cwd=top, check=True, stdout=subprocess.DEVNULL)
        count = sum(1 for line in open(os.path.join(example, "bm2.cs")))
        chain_atoms = sum(1 for line in open(os.path.join(example, "origin.pdb")) if line.startswith("ATOM"))
        check(os.path.join(top, "run"), "bm2", count, 4 * chain_atoms, os.path.join(example, "2kix_model1.pdb"))


if __name__ == "__main__":
    main()
