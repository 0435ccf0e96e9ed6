#!/usr/bin/env python3
"""From a deposited oligomer and restraints to ranked models with the two
programs, then the best model against the deposited structure.

Usage: check_recovery.py BUILD_DIR EXAMPLE_DIR NAME FIRST LAST -- SEARCH_OPTIONS...

Copies EXAMPLE_DIR to a scratch folder named run, runs noebundle-search on
run/NAME.param with SEARCH_OPTIONS, then noebundle, and superposes the CA
atoms of residues FIRST to LAST of run/NAME_1.pdb on those of the deposited
oligomer (the --from file, model 1): the RMSD must stay under 1.5 A.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import gemmi


def ca(chain_like, first, last):
    return [r.find_atom("CA", "*").pos for r in chain_like if first <= r.seqid.num <= last and r.find_atom("CA", "*")]


def rmsd_to_deposited(model_path, deposited_path, first, last):
    model = gemmi.read_structure(model_path)
    protomers = {}
    for chain in model[0]:
        for r in chain:
            atom = r.find_atom("CA", "*")
            if atom and first <= r.seqid.num <= last:
                protomers.setdefault(r.segment.strip(), []).append(atom.pos)
    mobile = [p for key in sorted(protomers) for p in protomers[key]]
    chains = [ca(chain, first, last) for chain in gemmi.read_structure(deposited_path)[0]]
    n = len(chains)
    best = None
    for direction in (1, -1):  # the ring may run either way round
        target = [p for i in range(n) for p in chains[(i * direction) % n]]
        rmsd = gemmi.superpose_positions(target, mobile).rmsd
        best = rmsd if best is None else min(best, rmsd)
    return best


def main():
    build, example, name, first, last = sys.argv[1:6]
    build, example = os.path.abspath(build), os.path.abspath(example)
    options = sys.argv[sys.argv.index("--") + 1:]
    first, last = int(first), int(last)
    with tempfile.TemporaryDirectory() as top:
        shutil.copytree(example, os.path.join(top, "run"))
        param = "run/%s.param" % name
        search = subprocess.run([os.path.join(build, "noebundle-search"), param] + options, cwd=top,
                                capture_output=True, text=True)
        assert search.returncode == 0, search.stdout
        print(search.stdout, end="")
        run = subprocess.run([os.path.join(build, "noebundle"), param], cwd=top, capture_output=True, text=True)
        assert run.returncode == 0, run.stdout
        deposited = os.path.join(top, options[options.index("--from") + 1])
        rmsd = rmsd_to_deposited(os.path.join(top, "run", name + "_1.pdb"), deposited, first, last)
    print("CA RMSD of the best structure against the deposited oligomer, residues %d-%d: %.2f A" % (first, last, rmsd))
    assert rmsd < 1.5, rmsd


if __name__ == "__main__":
    main()
