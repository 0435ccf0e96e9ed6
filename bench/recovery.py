#!/usr/bin/python3
"""How often the search and the run recover the deposited oligomer from
sparse restraints: for each shipped real example, random subsets of 4 to 12
of its restraints (fixed seeds), noebundle-search and noebundle in a scratch
copy of the example, and the CA RMSD of structure 1 against the deposited
model 1 over the example's residues.

Usage: /usr/bin/python3 bench/recovery.py [BUILD_DIR] [--subsets N] [--first-seed S]

Prints, per example, the fraction of subsets whose structure 1 lies under
1.5 A and the median RMSD, and the subsets above 1.5 A.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import tempfile
import time

import gemmi

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
# name, folder, deposited file, residues of the RMSD, search options
EXAMPLES = [
    ("bm2", "bm2", "2kix_model1.pdb", (5, 30), ["--from", "run/2kix_model1.pdb", "--chain", "A"]),
    ("gpa", "gpa", "1afo.pdb", (70, 95),
     ["--from", "run/1afo.pdb", "--chain", "A", "--model", "1", "--residues", "70-95"]),
]
GOOD = 1.5


def model_cas(path, first, last):
    """CA positions of each protomer (by segment name) of a written oligomer."""
    protomers = {}
    for chain in gemmi.read_structure(path)[0]:
        for r in chain:
            atom = r.find_atom("CA", "*")
            if atom and first <= r.seqid.num <= last:
                protomers.setdefault(r.segment.strip(), []).append(atom.pos)
    return [protomers[k] for k in sorted(protomers, key=lambda s: int(s[2:]))]


def deposited_cas(path, first, last):
    chains = []
    for chain in gemmi.read_structure(path)[0]:
        chains.append([r.find_atom("CA", "*").pos for r in chain
                       if first <= r.seqid.num <= last and r.find_atom("CA", "*")])
    return chains


def rmsd(model, deposited):
    """The best superposition over every way round the ring and every start."""
    n = len(deposited)
    mobile = [p for protomer in model for p in protomer]
    best = None
    for direction in (1, -1):
        for start in range(n):
            target = [p for i in range(n) for p in deposited[(start + direction * i) % n]]
            value = gemmi.superpose_positions(target, mobile).rmsd
            best = value if best is None else min(best, value)
    return best


def run_subset(build, example, restraints, seed, top):
    name, folder, deposited, (first, last), options = example
    rng = random.Random(seed)
    chosen = rng.sample(restraints, rng.randint(4, 12))
    run = os.path.join(top, "run")
    shutil.rmtree(run, ignore_errors=True)
    shutil.copytree(os.path.join(ROOT, "examples", folder), run)
    with open(os.path.join(run, name + ".noe"), "w") as f:
        f.write("".join(chosen))
    param = "run/%s.param" % name
    start = time.monotonic()
    for command in ([os.path.join(build, "noebundle-search"), param] + options,
                    [os.path.join(build, "noebundle"), param]):
        done = subprocess.run(command, cwd=top, capture_output=True, text=True)
        if done.returncode != 0:
            raise SystemExit("%s failed on seed %d: %s" % (command[0], seed, done.stdout))
    seconds = time.monotonic() - start
    value = rmsd(model_cas(os.path.join(run, name + "_1.pdb"), first, last),
                 deposited_cas(os.path.join(run, deposited), first, last))
    return len(chosen), value, seconds


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build", nargs="?", default=os.path.join(ROOT, "build"))
    ap.add_argument("--subsets", type=int, default=100)
    ap.add_argument("--first-seed", type=int, default=1)
    o = ap.parse_args()
    build = os.path.abspath(o.build)
    for example in EXAMPLES:
        name, folder = example[0], example[1]
        with open(os.path.join(ROOT, "examples", folder, name + ".noe")) as f:
            restraints = [line for line in f if line.strip()]
        values, bad, seconds = [], [], 0.0
        with tempfile.TemporaryDirectory() as top:
            for seed in range(o.first_seed, o.first_seed + o.subsets):
                count, value, spent = run_subset(build, example, restraints, seed, top)
                values.append(value)
                seconds += spent
                if value >= GOOD:
                    bad.append("seed %d (%d restraints): %.2f A" % (seed, count, value))
        under = sum(v < GOOD for v in values)
        print("%s: %d of %d subsets under %.1f A (%.0f%%), median CA RMSD %.2f A, worst %.2f A, "
              "%.1f s a subset" % (name, under, len(values), GOOD, 100.0 * under / len(values),
                                   statistics.median(values), max(values), seconds / len(values)))
        for line in bad:
            print("  above: " + line)


if __name__ == "__main__":
    main()
