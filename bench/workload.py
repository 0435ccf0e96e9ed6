#!/usr/bin/env python3
"""Writes a synthetic noebundle workload into a folder.

Usage: workload.py DIR [--residues 40] [--restraints 40] [--candidates 500]
                       [--protomers 5] [--template-atoms all|N]

An ideal helix of n residues with side chains and hydrogens (16 atoms a
residue), already in the aligned frame, is the helix and the template; a
planted candidate meets every restraint; the other candidates are random.
DIR gets work.param, helix.pdb, check_pdb.log, origin.pdb, noe.txt, work.cs.
"""
import argparse
import math
import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "bm2-prepared"))
from prepare import BOUNDS, alignment, apply, candidate_line, euler_matrix, sub  # noqa: E402

# Atom name, element, radius from the axis (A), angle offset (rad), height offset (A).
ATOMS = [(" N  ", "N", 1.55, -0.45, -0.55), (" CA ", "C", 2.30, 0.0, 0.0), (" C  ", "C", 1.65, 0.45, 0.55),
         (" O  ", "O", 1.90, 0.60, 1.70), (" CB ", "C", 3.45, 0.10, 0.45), (" CG ", "C", 4.70, 0.20, 0.20),
         (" CD1", "C", 5.60, 0.05, 0.90), (" CD2", "C", 5.30, 0.40, -0.60), (" H  ", "H", 1.40, -0.70, -1.20),
         (" HA ", "H", 2.20, -0.30, 1.00), (" HB2", "H", 3.40, -0.15, 1.45), (" HB3", "H", 3.60, 0.35, 1.20),
         (" HG ", "H", 4.90, 0.45, 1.00), ("HD11", "H", 6.40, 0.10, 0.30), ("HD12", "H", 5.90, -0.05, 1.80),
         ("HD21", "H", 6.10, 0.45, -1.20)]


def helix_lines(n):
    lines, serial = [], 0
    for k in range(n):
        a, z = math.radians(100.0 * k), 1.5 * (k - (n - 1) / 2)
        for name, element, r, da, dz in ATOMS:
            serial += 1
            x, y = r * math.cos(a + da), r * math.sin(a + da)
            lines.append("ATOM  %5d %s LEU A%4d    %8.3f%8.3f%8.3f  1.00  0.00           %s  "
                         % (serial, name, k + 1, x, y, z + dz, element))
    return lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("dir")
    ap.add_argument("--residues", type=int, default=40)
    ap.add_argument("--restraints", type=int, default=40)
    ap.add_argument("--candidates", type=int, default=500)
    ap.add_argument("--protomers", type=int, default=5)
    ap.add_argument("--template-atoms", default="all")
    ap.add_argument("--seed", type=int, default=1)
    o = ap.parse_args()
    os.makedirs(o.dir, exist_ok=True)
    rng = random.Random(o.seed)
    lines = helix_lines(o.residues)

    def path(name): return os.path.join(o.dir, name)
    with open(path("helix.pdb"), "w") as f:
        f.write("\n".join(lines) + "\nEND\n")
    with open(path("check_pdb.log"), "w") as f:
        f.write("%d\n%d\n" % (o.residues, len(lines)))
    c, align = alignment(lines)
    template = [l[:30] + "%8.3f%8.3f%8.3f" % tuple(apply(align, sub([float(l[30:38]), float(l[38:46]), float(l[46:54])], c))) + l[54:]
                for l in lines]
    if o.template_atoms != "all":
        template = template[:int(o.template_atoms)]
    with open(path("origin.pdb"), "w") as f:
        f.write("\n".join(template) + "\nEND\n")

    # Stand-in points of the aligned helix and the planted placement.
    points = {}
    for l in lines:
        name, k = l[12:16].strip(), int(l[22:26])
        if name in ("CA", "CB"):
            points[(k, name)] = apply(align, sub([float(l[30:38]), float(l[38:46]), float(l[46:54])], c))
    step = 2 * math.pi / o.protomers
    planted = [0.3, 0.25, 1.1, 4.6 / math.sin(step / 2) if o.protomers > 1 else 8.0]
    planted = [float("%.3f" % v) for v in planted]
    rot = euler_matrix(*planted[:3])
    placed = {key: [x + dx for x, dx in zip(apply(rot, p), (planted[3], 0, 0))] for key, p in points.items()}
    cs, sn = math.cos(step), math.sin(step)
    turned = {key: [p[0] * cs + p[1] * sn, -p[0] * sn + p[1] * cs, p[2]] for key, p in placed.items()}
    found = []
    for i in range(1, o.residues + 1):
        for j in range(max(1, i - 8), min(o.residues, i + 8) + 1):  # contacts lie at similar heights
            for a, pa in (("CA", "HA"), ("CB", "HG")):
                for b, pb in (("CA", "HN"), ("CB", "HD1")):
                    lo, hi = BOUNDS[(a == "CB") + (b == "CB")]
                    if lo + 0.2 <= math.dist(placed[(i, a)], turned[(j, b)]) <= hi - 0.2:
                        found.append("(resid %d and name %s) (resid %d and name %s)" % (i, pa, j, pb))
    if len(found) < o.restraints:
        sys.exit("only %d restraints can be met" % len(found))
    chosen = [found[int(k * len(found) / o.restraints)] for k in range(o.restraints)]
    with open(path("noe.txt"), "w") as f:
        f.write("\n".join(chosen) + "\n")
    with open(path("work.cs"), "w") as f:
        for k in range(o.candidates):
            if k == o.candidates // 3:
                f.write(candidate_line(planted) + "\n")
            else:
                f.write(candidate_line([rng.uniform(0, 2 * math.pi), rng.uniform(0, math.pi),
                                        rng.uniform(0, 2 * math.pi), rng.uniform(4, 15)]) + "\n")
    with open(path("work.param"), "w") as f:
        f.write("proteinName=work\nworkDir=%s\npdbFile=%s\nnoeFile=%s\nmemFile=none\nnumProtomer=%d\n"
                "memResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\nuncertainty=1.5\n"
                % (o.dir, path("helix.pdb"), path("noe.txt"), o.protomers))


if __name__ == "__main__":
    main()
