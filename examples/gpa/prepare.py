#!/usr/bin/env python3
"""Derives the restraints of the glycophorin A example from the deposited
dimer (PDB 1AFO, model 1): proton pairs between the two chains, in the
transmembrane residues 70-95, whose stand-in atoms lie within the
program's bounds both from chain A to chain B and from B to A.

Usage: python3 prepare.py   (writes gpa.noe next to this script)
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "bm2-prepared"))
from prepare import BOUNDS, SIDE_PROTONS, residues, stand_in  # noqa: E402

FIRST, LAST, MARGIN, WANT = 70, 95, 0.3, 40


def model_one(path):
    chains = {}
    for line in open(path):
        if line.startswith("ENDMDL"):
            break
        if line.startswith("ATOM"):
            chains.setdefault(line[21], []).append(line.rstrip("\n"))
    return chains


def main():
    chains = model_one(os.path.join(HERE, "1afo.pdb"))
    a, b = residues(chains["A"]), residues(chains["B"])

    def point(res, number, atom):
        atoms = res[number]
        return atoms["CA"] if atom == "CA" else atoms.get("CB", atoms.get("HA2"))

    found = []
    for i in range(FIRST, LAST + 1):
        for j in range(FIRST, LAST + 1):
            side_i = [n for n in a[i] if n[:2] in SIDE_PROTONS][:1]
            side_j = [n for n in a[j] if n[:2] in SIDE_PROTONS][:1]
            for pi in ["HA"] + side_i:
                for pj in (["HN"] if "H" in a[j] else ["HA"]) + side_j:
                    ai, ka = stand_in(pi)
                    aj, kb = stand_in(pj)
                    lo, hi = BOUNDS[ka + kb]
                    ds = [math.dist(point(a, i, ai), point(b, j, aj)), math.dist(point(b, i, ai), point(a, j, aj))]
                    if all(lo + MARGIN <= d <= hi - MARGIN for d in ds):
                        found.append((i, pi, j, pj))
    chosen = [found[int(k * len(found) / WANT)] for k in range(min(WANT, len(found)))]
    with open(os.path.join(HERE, "gpa.noe"), "w") as f:
        for (i, pi, j, pj) in chosen:
            f.write("(resid %d and name %s) (resid %d and name %s)\n" % (i, pi, j, pj))
    print("%d restraints from %d pairs" % (len(chosen), len(found)))


if __name__ == "__main__":
    main()
