#!/usr/bin/python3
"""Two ways of choosing the bundle when the helix is built from the sequence,
measured on real lists (every inter-chain proton pair under 5 A of the
deposited model 1, subsets of 5 to 12, noeModel=upper) before either went
into the programs; both were left out: neither gained more than 2 of 48
subsets over structure 1 of the straight helix, and each lost subsets of
some oligomers to gain others.

- shapes: besides the straight ideal helix, bent copies of it (radius of
  curvature 60 and 120 A, bent toward six directions 60 degrees apart about
  the helix axis, each residue moved rigidly along the arc so that its own
  geometry stays exact), each searched as the template. It prints, per
  structure, the fraction under 2.0 A of structure 1 for the straight helix,
  for the shape chosen by the best Delta and then packing energy, for the
  medoid of the shapes' structure 1 (CA RMSD), and for the shape nearest
  the answer, which no user could choose (what the shapes could give).
- consensus: among the kept placements tied at the best Delta, the centre
  of the largest cluster (CA RMSD under 1.0, 1.5 or 2.0 A between the
  oligomers) and the medoid, against structure 1.

Usage: /usr/bin/python3 bench/helix_ideas.py shapes|consensus [BUILD_DIR] [--refine] [--supercoil] [--subsets N]

With --supercoil (consensus only), the searches bend the helix as a supercoil too.
"""
import argparse
import math
import os
import random
import re
import statistics
import tempfile

import numpy as np

import recovery

GOOD = 2.0


def rms(a, b):
    """CA RMSD of two oligomers after the best superposition."""
    a, b = a - a.mean(0), b - b.mean(0)
    u, s, vt = np.linalg.svd(a.T @ b)
    s[-1] *= np.sign(np.linalg.det(u @ vt))
    return float(np.sqrt(max(0.0, ((a ** 2).sum() + (b ** 2).sum() - 2 * s.sum()) / len(a))))


def oligomer(path, first, last):
    return np.array([[p.x, p.y, p.z] for protomer in recovery.model_cas(path, first, last) for p in protomer])


def write_bent_helix(path, out, radius, direction):
    """Writes to out the helix of path bent along an arc of the radius, toward
    direction (radians about the axis); each residue turned rigidly with the arc at its CA."""
    structure = recovery.gemmi.read_structure(path)
    xyz = lambda atom: np.array([atom.pos.x, atom.pos.y, atom.pos.z])
    cas = np.array([xyz(r.find_atom("CA", "*")) for r in structure[0][0]])
    centre = cas.mean(axis=0)
    axis = np.linalg.svd(cas - centre)[2][0]
    axis = axis if np.dot(cas[-1] - cas[0], axis) > 0 else -axis
    e1 = np.cross(axis, [0.0, 0.0, 1.0] if abs(axis[2]) < 0.9 else [1.0, 0.0, 0.0])
    e1 /= np.linalg.norm(e1)
    toward = math.cos(direction) * e1 + math.sin(direction) * np.cross(axis, e1)
    for residue in structure[0][0]:
        along = (xyz(residue.find_atom("CA", "*")) - centre) @ axis
        angle = along / radius
        base = centre + radius * math.sin(angle) * axis + radius * (1 - math.cos(angle)) * toward
        new_axis = math.cos(angle) * axis + math.sin(angle) * toward
        new_toward = -math.sin(angle) * axis + math.cos(angle) * toward
        for atom in residue:
            p = xyz(atom) - centre - along * axis
            t, u = p @ axis, p @ toward
            atom.pos = recovery.gemmi.Position(*(base + (p - t * axis - u * toward) + t * new_axis + u * new_toward))
    structure.write_pdb(out)


def subset_runs(build, item, source, restraints, seed, top, refine, helix=None, supercoil=False):
    """Search and run one subset; with helix, that file in top instead of the built helix."""
    name, filename, chains, residues = item[:4]
    if helix is None:
        built = recovery.chain_sequence(source, chains[0])
        recovery.run_real_subset(build, item, source, restraints, seed, top, "upper", built, refine, supercoil)
        return
    run = os.path.join(top, "run")
    for stale in os.listdir(run) if os.path.isdir(run) else []:
        if stale.startswith(name + "_"):
            os.remove(os.path.join(run, stale))
    example = (name, None, filename, residues, ["--from", helix, "--chain", "A", "--force"] +
               (["--refine"] if refine else []))
    recovery.run_commands(build, example, seed, top, 0)


def measure(o, item, source, restraints, top, add):
    name, filename, chains, (first, last) = item[:4]
    deposited = None
    for seed in range(1, o.subsets + 1):
        subset_runs(o.build, item, source, restraints, seed, top, o.refine, supercoil=o.supercoil)
        run = os.path.join(top, "run")
        deposited = deposited or recovery.deposited_cas(os.path.join(run, filename), first, last)
        answer = lambda k: recovery.rmsd(recovery.model_cas(os.path.join(run, "%s_%d.pdb" % (name, k)), first, last),
                                         deposited)
        add("structure 1", name, answer(1))
        if o.idea == "consensus":
            deltas = recovery.run_deltas(top, name)
            tied = [k + 1 for k, v in enumerate(deltas) if v <= deltas[0]]
            cas = [oligomer(os.path.join(run, "%s_%d.pdb" % (name, k)), first, last) for k in tied]
            far = np.array([[rms(a, b) for b in cas] for a in cas])
            for cut in (1.0, 1.5, 2.0):
                leader = max(range(len(tied)), key=lambda i: ((far[i] < cut).sum(), -i))
                members = np.where(far[leader] < cut)[0]
                add("cluster %.1f" % cut, name, answer(tied[members[np.argmin(far[np.ix_(members, members)].sum(1))]]))
            add("medoid", name, answer(tied[int(np.argmin(far.sum(1)))]))
            continue
        straight = os.path.join(top, "straight.pdb")
        os.replace(os.path.join(run, name + "_A.pdb"), straight)
        results = []  # (Delta, packing, RMSD to the answer, oligomer)
        shapes = [None] + [(r, math.radians(d)) for r in (60.0, 120.0) for d in range(0, 360, 60)]
        for shape in shapes:
            if shape is not None:
                write_bent_helix(straight, os.path.join(top, "shape.pdb"), *shape)
            subset_runs(o.build, item, source, restraints, seed, top, o.refine,
                        "straight.pdb" if shape is None else "shape.pdb")
            with open(os.path.join(top, "search.txt")) as f:
                packing = float(re.search(r"Packing energy of the best: (\S+)", f.read()).group(1))
            results.append((recovery.run_deltas(top, name)[0], packing, answer(1),
                            oligomer(os.path.join(run, name + "_1.pdb"), first, last)))
        add("chosen by Delta, packing", name, min(results, key=lambda r: r[:2])[2])
        tied = [r for r in results if r[0] <= min(x[0] for x in results)]
        add("medoid of the shapes", name, min(tied, key=lambda r: sum(rms(r[3], x[3]) for x in tied))[2])
        add("nearest shape (oracle)", name, min(r[2] for r in results))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("idea", choices=["shapes", "consensus"])
    ap.add_argument("build", nargs="?", default=os.path.join(recovery.ROOT, "build"))
    ap.add_argument("--refine", action="store_true")
    ap.add_argument("--supercoil", action="store_true")
    ap.add_argument("--subsets", type=int, default=12)
    ap.add_argument("--data", default=os.path.join(recovery.ROOT, "..", "shared", "data", "real"))
    o = ap.parse_args()
    if o.supercoil and o.idea != "consensus":
        ap.error("--supercoil goes with consensus: shapes bends the helix itself")
    o.build = os.path.abspath(o.build)
    figures = {}
    add = lambda rule, name, value: figures.setdefault(rule, {}).setdefault(name, []).append(value)
    for item in recovery.REAL:
        source = recovery.source_of(item, o.data)
        restraints, _ = recovery.real_list(source, item[2], *item[3])
        with tempfile.TemporaryDirectory() as top:
            measure(o, item, source, restraints, top, add)
    for rule, by in figures.items():
        values = [v for vs in by.values() for v in vs]
        print("%-26s %s | all %d of %d under %.1f A, median %.2f A" % (
            rule, ", ".join("%s %d/%d" % (n, sum(v < GOOD for v in vs), len(vs)) for n, vs in by.items()),
            sum(v < GOOD for v in values), len(values), GOOD, statistics.median(values)))


if __name__ == "__main__":
    main()
