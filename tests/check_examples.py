#!/usr/bin/env python3
# Runs an example as the README does, with the programs of BUILD_DIR, in a
# scratch copy named run, and checks what it leaves.
# Usage: check_examples.py BUILD_DIR bm2|bm2-prepared|gpa|gpa-sequence
#
# bm2: the README's search and run print what the README shows; the files
# a user keeps reach the disk before they take their names (under strace).
# bm2-prepared: the deposited arrangement ranks first, the report names it,
# and gemmi reads the four protomers of every structure file.
# gpa: the glycophorin dimer from model 1, residues 70-95 of the deposited file.
# gpa-sequence: the README's build, search (with --refine --supercoil), run and analysis
# from the sequence; the best model within 2.0 A (1.88 A now, 2.02 A without
# --refine; an ideal straight helix is itself about 1.5 A from the deposited,
# curved, chains).
# Every example runs under a folder whose name has a space; no output names
# that folder, and the bm2 search, repeated in a copy of the folder, finds
# the files it wrote as its own.
# In all three the best model lies within 1.5 A (CA RMSD over the helical
# core; the termini of the deposited chains are frayed) of the deposited
# oligomer, and the restraints noebundle-analyze exports read back with
# noebundle-restraints to the run's own restraint lines.
import csv
import os
import re
import shutil
import subprocess
import sys
import tempfile

import gemmi

from support import ROOT, copy_example, run, shell

README = open(os.path.join(ROOT, "README.md")).read().splitlines()
GPA = "./build/noebundle-search run/gpa.param --from run/1afo.pdb --chain A --model 1 --residues 70-95 && ./build/noebundle run/gpa.param"


def rmsd_to_deposited(model_path, deposited_path, first, last):
    # CA RMSD of the model's protomers (by segment) on the deposited chains, the ring either way round.
    def cas(residues):
        return [r.find_atom("CA", "*").pos for r in residues if first <= r.seqid.num <= last and r.find_atom("CA", "*")]
    protomers = {}
    for r in (r for chain in gemmi.read_structure(model_path)[0] for r in chain):
        protomers.setdefault(r.segment.strip(), []).append(r)
    mobile = [p for key in sorted(protomers) for p in cas(protomers[key])]
    chains = [cas(chain) for chain in gemmi.read_structure(deposited_path)[0]]
    n = len(chains)
    return min(gemmi.superpose_positions([p for i in range(n) for p in chains[(i * d) % n]], mobile).rmsd
               for d in (1, -1))


def as_the_run_reads(lines):
    """The run's restraint lines as the converter writes them: proton names cut to their class (the two letters
    the run reads), and a restraint whose ends only swap places with an earlier one's once."""
    out, seen = [], set()
    for line in lines:
        w = line.split()
        ends = ((int(w[1]), w[4].rstrip(")")[:2].upper()), (int(w[6]), w[9].rstrip(")")[:2].upper()))
        if frozenset(ends) not in seen:
            seen.add(frozenset(ends))
            out.append("(resid %d and name %s) (resid %d and name %s)" % (ends[0] + ends[1]))
    return out


def check_assigned(build, top, name, protomers):
    """assigned.tbl and assigned.nef: every restraint once for each protomer, the ends on the chains whose stand-in
    atoms lie as far apart in structure 1 as violations.csv says; both read back to the run's lines."""
    run(build, top, "noebundle-analyze", "run/%s.param" % name)
    analysis = os.path.join(top, "run", "analysis")
    lines = open(os.path.join(top, "run", name + ".noe")).read().splitlines()
    model = gemmi.read_structure(os.path.join(analysis, "ensemble.pdb"))[0]
    violations = [v for v in csv.DictReader(open(os.path.join(analysis, "violations.csv"))) if v["rank"] == "1"]
    statement = re.compile(r"assign \(segid (\w+) and resid (-?\d+) and name ([\w#]+)\) "
                           r"\(segid (\w+) and resid (-?\d+) and name ([\w#]+)\) ([\d.]+) ([\d.]+) ([\d.]+)")
    stand_in = lambda chain, residue, proton: model[chain][residue][0]["CA" if proton[:2] in ("H", "HN", "HA", "HB") else "CB"][0]
    statements = [m for m in map(statement.fullmatch, open(os.path.join(analysis, "assigned.tbl")).read().splitlines()) if m]
    assert len(statements) == protomers * len(lines), len(statements)
    for k, m in enumerate(statements):
        v = violations[k // protomers]
        a, b = stand_in(m[1], m[2], m[3]), stand_in(m[4], m[5], m[6])
        assert abs(a.pos.dist(b.pos) - float(v["distance"])) < 0.01, (m[0], v)
        assert abs(float(m[7]) - float(m[8]) - float(v["lower"])) < 0.002, (m[0], v)
    for exported in ("assigned.tbl", "assigned.nef"):
        run(build, top, "noebundle-restraints", os.path.join(analysis, exported), "--out", "back.noe")
        assert open(os.path.join(top, "back.noe")).read().splitlines() == as_the_run_reads(lines), exported


def check_durable(build, top):
    """The files a user keeps (the ranked candidate file, a converted restraint list and its origin) reach the
    disk before they take their names: each temporary is synced, then renamed into place."""
    trace = os.path.join(top, "trace.txt")
    if subprocess.run(["strace", "-o", trace, "true"], capture_output=True).returncode != 0:
        print("strace cannot trace processes here: the durable writes are not checked")
        return
    for program, args, kept in (("noebundle-restraints", ["run/bm2.tbl", "--out", "run/synced.noe"],
                                 ["synced.noe", "synced.noe.origin"]), ("noebundle", ["run/bm2.param"], ["bm2.cs"])):
        # LeakSanitizer (in the sanitizer build) cannot run under ptrace: leaks are its own test's concern.
        done = subprocess.run(["strace", "-f", "-qq", "-y", "-o", trace, "-e", "trace=fsync,rename,renameat,renameat2",
                               os.path.join(build, program)] + args, cwd=top, capture_output=True, text=True,
                              env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
        assert done.returncode == 0, done.stdout + done.stderr
        calls = open(trace).read()
        for name in kept:
            temporary = r"run/%s\.\d+\.tmp" % re.escape(name)
            assert re.search(r'fsync\(\d+<[^>]*/%s>\) = 0\n(.*\n)*.*rename\w*\(.*"%s", .*"run/%s"\)' %
                             (temporary, temporary, re.escape(name)), calls), (name, calls)


def main():
    build, example = os.path.abspath(sys.argv[1]), sys.argv[2]
    built = example == "gpa-sequence"
    example = "gpa" if built else example
    copy = "cp -r examples/%s run && " % example
    command = GPA if example == "gpa" else next(line for line in README if copy in line).split(copy, 1)[1]
    if built:
        command = next(line for line in README if "noebundle-search run/gpa.param --sequence" in line)
    with tempfile.TemporaryDirectory(prefix="noebundle examples ") as top:
        copy_example(example, top)
        in_run = lambda name: os.path.join(top, "run", name)
        printed = shell(build, top, command)
        out = printed.splitlines()
        if built:
            assert out[0] == "Built an ideal alpha-helix of 26 residues (402 atoms, residues 70 to 95 of chain A)", out
            assert os.path.exists(in_run("analysis/violations.csv")), os.listdir(in_run("analysis"))
        if example == "bm2":  # the block after the marker; "..." stands for lines left out
            start = README.index("<!-- example-output -->") + 2
            shown = README[start:README.index("```", start)]
            pattern = "".join("(.*\n)*?" if line == "..." else re.escape(line) + "\n" for line in shown)
            assert re.fullmatch(pattern, printed), printed
            assert os.path.exists(in_run("landscape.svg")) and os.path.exists(in_run("bm2_100.pdb"))
            # The search dates its tables in the log and names itself without the build's folder.
            headers = [line for line in open(in_run("bm2.log")) if line.startswith("# ")]
            assert re.fullmatch(r"# \d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC  noebundle-search run/bm2\.param --from .*\n",
                                headers[0]), headers
        if example == "bm2-prepared":
            ranked = open(in_run("bm2.cs")).read().splitlines()
            assert len(ranked) == 300 and ranked[0] + "\n" == open(in_run("deposited.cs")).read(), ranked[:1]
            assert out[2] == "   1    0.000" and "(AN1,  13, HD) - (AN2,   8, HA)" in out, out[:3]
            atoms = 4 * sum(1 for line in open(in_run("origin.pdb")) if line.startswith("ATOM"))
            for k in range(1, 301):
                assert gemmi.read_structure(in_run("bm2_%d.pdb" % k))[0].count_atom_sites() == atoms, k
        first, last, name, deposited = (70, 95, "gpa", "1afo.pdb") if example == "gpa" else (5, 30, "bm2", "2kix_model1.pdb")
        rmsd = rmsd_to_deposited(in_run(name + "_1.pdb"), in_run(deposited), first, last)
        check_assigned(build, top, name, 2 if example == "gpa" else 4)
        for folder, _, files in os.walk(top):
            for f in files:
                data = open(os.path.join(folder, f), "rb").read()
                assert all(p.encode() not in data for p in {top, os.path.realpath(top)}), os.path.join(folder, f)
        if example == "bm2":
            check_durable(build, top)
            copy = os.path.join(top, "copy")
            shutil.copytree(os.path.join(top, "run"), os.path.join(copy, "run"))
            search = command.split(" && ")[0]
            shell(build, copy, search)
    print("%s: CA RMSD of the best structure against the deposited oligomer: %.2f A" % (example, rmsd))
    assert rmsd < (2.0 if built else 1.5), rmsd


if __name__ == "__main__":
    main()
