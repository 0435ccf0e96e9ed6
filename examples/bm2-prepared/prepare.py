#!/usr/bin/env python3
"""Prepares the BM2 example from the deposited tetramer (PDB 2KIX, model 1).

Writes, next to this script: the helix (chain A) as 2kix_A.pdb, check_pdb.log,
origin.pdb (chain A in the frame the program aligns the helix to), the
restraint file bm2.noe, the candidate file bm2.cs and deposited.cs (the line
that places chain A where it stands in the deposited tetramer).

Usage: python3 prepare.py PATH/TO/2kix_model1.pdb
"""
import math
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
BOUNDS = {0: (6.28 - 1.7, 6.28 + 1.7), 1: (6.84 - 1.5, 6.84 + 1.5), 2: (7.28 - 1.5, 7.28 + 1.5)}
MARGIN = 0.3  # keep every chosen restraint this far inside its bounds in the model
SIDE_PROTONS = ("HG", "HD", "HE", "HZ", "HH")


def sub(a, b): return [a[i] - b[i] for i in range(3)]
def add(a, b): return [a[i] + b[i] for i in range(3)]
def dot(a, b): return sum(a[i] * b[i] for i in range(3))
def scale(a, s): return [x * s for x in a]
def cross(a, b): return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]
def norm(a): return scale(a, 1 / math.sqrt(dot(a, a)))
def mean(points): return scale([sum(p[i] for p in points) for i in range(3)], 1 / len(points))
def apply(m, p): return [dot(m[r], p) for r in range(3)]
def transpose(m): return [[m[c][r] for c in range(3)] for r in range(3)]
def matmul(a, b): return [[sum(a[r][k] * b[k][c] for k in range(3)) for c in range(3)] for r in range(3)]


def euler_matrix(phi, theta, psi):
    """R = Z(psi) X(theta) Z(phi), the program's convention."""
    cf, sf, ct, st, cp, sp = math.cos(phi), math.sin(phi), math.cos(theta), math.sin(theta), math.cos(psi), math.sin(psi)
    return [[cp * cf - ct * sf * sp, cp * sf + ct * cf * sp, sp * st],
            [-sp * cf - ct * sf * cp, -sp * sf + ct * cf * cp, cp * st],
            [st * sf, -st * cf, ct]]


def euler_angles(m):
    theta = math.acos(max(-1.0, min(1.0, m[2][2])))
    return math.atan2(m[2][0], -m[2][1]), theta, math.atan2(m[0][2], m[1][2])


def xyz(line): return [float(line[30:38]), float(line[38:46]), float(line[46:54])]


def read_chains(path):
    chains = {}
    for line in open(path):
        if line.startswith("ATOM"):
            chains.setdefault(line[21], []).append(line.rstrip("\n"))
    return chains


def residues(lines):
    """Residue number -> {atom name: point}, in file order."""
    out = {}
    for line in lines:
        out.setdefault(int(line[22:26]), {})[line[12:16].strip()] = xyz(line)
    return out


def alignment(chain):
    """Centroid and rotation that put the CA centroid at 0 and the axis on +z."""
    ca = [atoms["CA"] for atoms in residues(chain).values()]
    c = mean(ca)
    ca = [sub(p, c) for p in ca]
    v = sub(mean(ca[:4]), mean(ca[-4:]))
    if v[2] < 0:
        v = scale(v, -1)
    if abs(v[0]) < 1e-6 and abs(v[1]) < 1e-6:
        return c, euler_matrix(0.0, 0.0, 0.0)
    xy = v[0] * v[0] + v[1] * v[1]
    a, b = v[1] / math.sqrt(xy), v[2] / math.sqrt(xy + v[2] * v[2])
    phi = math.acos(a) if v[0] < 0 else -math.acos(a)
    return c, euler_matrix(phi, -math.acos(b), 0.0)


def placement(chains, c, align):
    """Candidate (phi, theta, psi, radius) of chain A in the tetramer, axis on z."""
    centres = {name: mean([a["CA"] for a in residues(chains[name]).values()]) for name in "ABCD"}
    o = mean(list(centres.values()))
    ring = [centres[n] for n in "ABCD"]
    n = norm(mean([cross(sub(ring[i + 1 & 3], ring[i]), sub(ring[i + 2 & 3], ring[i + 1 & 3])) for i in range(4)]))
    out = sub(centres["A"], o)
    o2 = add(o, scale(n, dot(out, n)))
    x = norm(sub(centres["A"], o2))
    frame = [x, cross(n, x), n]
    radius = dot(sub(centres["A"], o2), x)
    rot = matmul(frame, transpose(align))
    return euler_angles(rot) + (radius,), frame, o2


def stand_in(proton):
    return ("CB", 1) if proton[:2].upper() in SIDE_PROTONS else ("CA", 0)


def candidate_line(values):
    return "".join("%10.3f" % v for v in values)


def rounded(values):
    return [float("%.3f" % v) for v in values]


def model(points, cand):
    """Places aligned points by a candidate; returns the model and its turned copy."""
    rot = euler_matrix(*cand[:3])
    placed = {k: add(apply(rot, p), [cand[3], 0, 0]) for k, p in points.items()}
    turned = {k: [p[1], -p[0], p[2]] for k, p in placed.items()}  # -90 degrees about z
    return placed, turned


def score(points, restraints, cand):
    placed, turned = model(points, cand)
    total = 0.0
    for (i, a, j, b, k) in restraints:
        lo, hi = BOUNDS[k]
        u = []
        for d in (math.dist(placed[(i, a)], turned[(j, b)]), math.dist(turned[(i, a)], placed[(j, b)])):
            u.append((d - hi) ** 2 if d > hi else (d - lo) ** 2 if d < lo else 0.0)
        total += min(u)
    return math.sqrt(total / len(restraints))


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "../../../shared/data/real/2kix_model1.pdb")
    chains = read_chains(source)
    chain = chains["A"]
    with open(os.path.join(HERE, "2kix_A.pdb"), "w") as f:
        f.write("".join(line + "\n" for line in chain) + "END\n")
    res_a = residues(chain)
    with open(os.path.join(HERE, "check_pdb.log"), "w") as f:
        f.write("%d\n%d\n" % (len(res_a), len(chain)))

    c, align = alignment(chain)
    with open(os.path.join(HERE, "origin.pdb"), "w") as f:
        for line in chain:
            p = apply(align, sub(xyz(line), c))
            f.write((line[:30] + "%8.3f%8.3f%8.3f" % tuple(p) + line[54:]).ljust(80)[:80] + "\n")
        f.write("END".ljust(80) + "\n")

    cand, frame, origin = placement(chains, c, align)
    cand = rounded(cand)
    with open(os.path.join(HERE, "deposited.cs"), "w") as f:
        f.write(candidate_line(cand) + "\n")

    # Stand-in points of the aligned helix: CA, and CB (HA2 for glycine).
    points = {}
    for number, atoms in res_a.items():
        points[(number, "CA")] = apply(align, sub(atoms["CA"], c))
        points[(number, "CB")] = apply(align, sub(atoms["CB"] if "CB" in atoms else atoms["HA2"], c))
    placed, turned = model(points, cand)

    # The deposited neighbour that the model's turned copy stands for, chain by chain.
    def in_frame(p): return apply(frame, sub(p, origin))
    centres = {n: in_frame(mean([a["CA"] for a in residues(chains[n]).values()])) for n in "ABCD"}
    target = [centres["A"][1], -centres["A"][0], centres["A"][2]]
    neighbour_of_a = min("BD", key=lambda n: math.dist(centres[n], target))
    step = 1 if neighbour_of_a == "B" else -1
    ring = "ABCD"
    pairs = [(ring[i], ring[(i + step) % 4]) for i in range(4)]
    deposited = {n: residues(chains[n]) for n in "ABCD"}

    def names(number):
        atoms = res_a[number]
        ca_names = (["HN"] if "H" in atoms else []) + [n for n in ("HA", "HA2") if n in atoms][:1]
        side = [n for n in atoms if n[:2] in SIDE_PROTONS]
        return ca_names, side[:1]

    found = []
    numbers = sorted(res_a)
    for i in numbers:
        for j in numbers:
            ca_i, side_i = names(i)
            ca_j, side_j = names(j)
            for pi in ca_i[:1] + side_i:
                for pj in ca_j[-1:] + side_j:
                    a, ka = stand_in(pi)
                    b, kb = stand_in(pj)
                    lo, hi = BOUNDS[ka + kb]
                    ds = [math.dist(placed[(i, a)], turned[(j, b)])]
                    for x, y in pairs:
                        pa = deposited[x][i]["CA"] if a == "CA" else deposited[x][i].get("CB", deposited[x][i].get("HA2"))
                        pb = deposited[y][j]["CA"] if b == "CA" else deposited[y][j].get("CB", deposited[y][j].get("HA2"))
                        ds.append(math.dist(pa, pb))
                    # Met in the model with a margin, and between every pair of neighbours deposited.
                    if lo + MARGIN <= ds[0] <= hi - MARGIN and all(lo <= d <= hi for d in ds[1:]):
                        found.append((i, pi, j, pj, a, b, ka + kb))
    by_class = {k: [r for r in found if r[6] == k] for k in range(3)}
    chosen = []
    for k, want in ((0, 14), (1, 14), (2, 12)):
        pool = by_class[k]
        stride = max(1, len(pool) // want)
        chosen += pool[::stride][:want]
    chosen.sort()
    with open(os.path.join(HERE, "bm2.noe"), "w") as f:
        for (i, pi, j, pj, a, b, k) in chosen:
            f.write("(resid %d and name %s) (resid %d and name %s)\n" % (i, pi, j, pj))
    restraints = [(i, a, j, b, k) for (i, pi, j, pj, a, b, k) in chosen]

    # Candidates: the deposited arrangement among random and nearby placements
    # that all score clearly worse.
    rng = random.Random(2009)
    best = score(points, restraints, cand)
    others = []
    while len(others) < 299:
        if len(others) % 2:
            trial = [rng.uniform(0, 2 * math.pi), rng.uniform(0, math.pi), rng.uniform(0, 2 * math.pi), rng.uniform(5, 14)]
        else:
            trial = [cand[0] + rng.uniform(-0.6, 0.6), cand[1] + rng.uniform(-0.4, 0.4),
                     cand[2] + rng.uniform(-0.6, 0.6), cand[3] + rng.uniform(-2, 2)]
        trial = rounded(trial)
        if score(points, restraints, trial) > best + 0.1:
            others.append(trial)
    lines = [candidate_line(t) for t in others]
    lines.insert(137, candidate_line(cand))
    with open(os.path.join(HERE, "bm2.cs"), "w") as f:
        f.write("".join(line + "\n" for line in lines))
    print("deposited placement %s, score %.3f, %d restraints (%s by class)"
          % (candidate_line(cand), best, len(chosen), [len(by_class[k]) for k in range(3)]))


if __name__ == "__main__":
    main()
