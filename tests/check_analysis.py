#!/usr/bin/env python3
"""noebundle-analyze on the hand-prepared BM2 example, checked from outside.

Usage: check_analysis.py BUILD_DIR EXAMPLE_DIR [--pymol]

Runs noebundle and noebundle-analyze (--reference 2kix_model1.pdb, residues
5-30) in a scratch copy of EXAMPLE_DIR, whose structure 1 is the deposited
arrangement, and checks the tables, the ensembles (read with gemmi as the
archive's conventions have them), the packing figures against a brute-force
count and the ChimeraX files against their documented syntax, also for
--top 1; --score of 2KIX (also moved far along z, and turned), of the ensemble's second
structure and of two models of 1AFO (the glycophorin A example) against
distances measured here; the verdict's suggestions against the clusters.
With --pymol it checks PyMOL's reading of view.pml instead, and exits with
77 (skipped) when PyMOL is missing.
"""
import csv
import itertools
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import gemmi
import numpy

from support import copy_example, run, write

FIRST, LAST = 5, 30


def check_reference(out, analysis, deposited):
    """The reported RMSD and assignment are the best of all cyclic assignments, computed here with gemmi."""
    model = gemmi.read_structure(os.path.join(analysis, "ensemble.pdb"))[0]
    ref = gemmi.read_structure(deposited)[0]
    ca = lambda chain: [r["CA"][0].pos for r in chain if FIRST <= r.seqid.num <= LAST]
    mobile = [p for chain in model for p in ca(chain)]
    names = [c.name for c in ref]
    results = {}
    for start, step in itertools.product(range(4), (1, -1)):
        order = [names[(start + step * p) % 4] for p in range(4)]
        target = [p for name in order for p in ca(ref[name])]
        results[",".join(order)] = gemmi.superpose_positions(target, mobile).rmsd
    best = min(results, key=results.get)
    line = "structure 1: CA RMSD %.3f Å with protomers 1,2,3,4 on chains %s" % (results[best], best)
    assert line in out, (line, out)
    assert best.startswith("A,") and results[best] < 1.0, results  # protomer 1 is the symmetrised chain A
    return results[best]


def check_ensembles(analysis, template, ranking):
    elements = [line[76:78].strip() for line in open(template) if line.startswith("ATOM")]
    for name in ("ensemble.pdb", "ensemble.cif"):
        st = gemmi.read_structure(os.path.join(analysis, name))
        assert len(st) == 10, (name, len(st))
        for model in st:
            assert [c.name for c in model] == ["A", "B", "C", "D"], name
            for chain in model:
                assert [a.element.name for r in chain for a in r] == elements, name
    pdb = open(os.path.join(analysis, "ensemble.pdb")).read()
    assert pdb.count("\nTER ") == 40 and pdb.count("REMARK 250 MODEL") == 10
    check_archive_conventions(analysis, template)
    block = gemmi.cif.read(os.path.join(analysis, "ensemble.cif")).sole_block()
    table = block.find("_noebundle_model.", ["rank", "delta", "radius"])
    assert [row[0] for row in table] == [r["rank"] for r in ranking[:10]]
    assert [row[2] for row in table] == [r["radius"] for r in ranking[:10]]


def check_archive_conventions(analysis, template):
    """One polymer entity for the four chains with the helix's sequence, numeric label_seq_id, helices, 3 decimals."""
    sequence = [r.name for r in gemmi.read_structure(template)[0][0]]
    st = gemmi.read_structure(os.path.join(analysis, "ensemble.cif"))
    assert [(e.name, e.entity_type.name, list(e.subchains), list(e.full_sequence)) for e in st.entities] == \
        [("1", "Polymer", ["A", "B", "C", "D"], sequence)], st.entities
    for chain in st[0]:
        assert [r.label_seq for r in chain] == list(range(1, len(sequence) + 1)), chain.name
    # 2KIX's chain A is helical by its backbone hydrogen bonds from residue 6 to 32, ends included.
    assert sorted((h.start.chain_name, h.start.res_id.seqid.num, h.end.res_id.seqid.num) for h in st.helices) == \
        [(chain, 6, 32) for chain in "ABCD"], st.helices
    block = gemmi.cif.read(os.path.join(analysis, "ensemble.cif")).sole_block()
    assert gemmi.cif.as_string(block.find_value("_entity_poly.pdbx_seq_one_letter_code_can")).strip() == \
        gemmi.one_letter_code(sequence)
    for tag in ("_atom_site.Cartn_x", "_atom_site.Cartn_y", "_atom_site.Cartn_z"):
        assert all(re.fullmatch(r"-?\d+\.\d{3}", v) for v in block.find_values(tag)), tag
    pdb = gemmi.read_structure(os.path.join(analysis, "ensemble.pdb"))
    assert [(h.start.res_id.seqid.num, h.end.res_id.seqid.num) for h in pdb.helices] == \
        [(h.start.res_id.seqid.num, h.end.res_id.seqid.num) for h in st.helices]


BONDI = {"C": 1.70, "N": 1.55, "O": 1.52, "S": 1.80}


def packing_by_brute_force(model):
    """Closest backbone approach and packing energy, every pair counted: repulsion from 0.2 A beyond
    van der Waals contact (Bondi's radii)."""
    xyz, backbone, radius = {}, {}, {}
    for chain in model:
        atoms = [a for r in chain for a in r if a.element.name != "H"]
        xyz[chain.name] = numpy.array([[a.pos.x, a.pos.y, a.pos.z] for a in atoms])
        backbone[chain.name] = numpy.array([a.name in ("N", "CA", "C", "O") for a in atoms])
        radius[chain.name] = numpy.array([BONDI.get(a.element.name, 1.70) for a in atoms])
    d = numpy.concatenate([numpy.linalg.norm(xyz["A"][:, None] - xyz[c][None], axis=2) for c in "BCD"], axis=1)
    bb = numpy.concatenate([numpy.outer(backbone["A"], backbone[c]) for c in "BCD"], axis=1)
    start = numpy.concatenate([radius["A"][:, None] + radius[c][None] + 0.2 for c in "BCD"], axis=1)
    excess = numpy.clip(start - d, 0, None)
    return d[bb].min(), 100 * (excess ** 2).sum() - (d < 5.5).sum()


def assert_same_scores(scored, given, case):
    """Rows of two violation tables name the same neighbours and distances (3 decimals of rounded coordinates)."""
    # A restraint that joins one atom to its own copy is met as well by either neighbour.
    same = lambda r: r["atom1"].split()[1:] == r["atom2"].split()[1:]
    assert len(scored) == len(given) and all(a["atom2"] == b["atom2"] or same(b) for a, b in zip(scored, given)), case
    assert all(abs(float(a["distance"]) - float(b["distance"])) < 0.003 for a, b in zip(scored, given)), case


def check_score(folder, run, noe, deposited, helix, model=1):
    """score.csv and score_violations.csv as measured here: stand-ins (CA for HN, HA, HB, else CB) of the
    first chain and its neighbour clockwise seen from +z, where the helix's higher end in its file points."""
    chains = [c for c in gemmi.read_structure(os.path.join(run, deposited))[model - 1] if c[0].find_atom("CA", "*")]
    lines = [l for l in open(os.path.join(run, helix)) if l.startswith("ATOM") and l[12:16] == " CA "]
    ends = sorted([lines[0], lines[-1]], key=lambda l: float(l[46:54]))
    pos = lambda c, num, atom: numpy.array(c[str(num)][0][atom][0].pos.tolist())
    up = pos(chains[0], int(ends[1][22:26]), "CA") - pos(chains[0], int(ends[0][22:26]), "CA")
    centres = [numpy.mean([r["CA"][0].pos.tolist() for r in c], axis=0) for c in chains]
    turn = sum(numpy.cross(centres[k] - numpy.mean(centres, axis=0), centres[(k + 1) % len(chains)] - centres[k])
               for k in range(len(chains)))
    first, near = chains[0], chains[1 if len(chains) == 2 or turn.dot(up) < 0 else -1]
    rows = list(csv.DictReader(open(os.path.join(folder, "score_violations.csv"))))
    squares = []
    for line, row in zip(open(os.path.join(run, noe)), rows):
        w = line.split()
        ends = [(int(w[k]), "CA" if w[k + 3][:2] in ("HN", "HA", "HB") else "CB") for k in (1, 6)]
        lower, upper = {0: (4.58, 7.98), 1: (5.34, 8.34), 2: (5.78, 8.78)}[[a for _, a in ends].count("CB")]
        d1 = numpy.linalg.norm(pos(first, *ends[0]) - pos(near, *ends[1]))
        d2 = numpy.linalg.norm(pos(near, *ends[0]) - pos(first, *ends[1]))
        v1, v2 = (max(lower - d, d - upper, 0) for d in (d1, d2))
        second = v2 < v1 or (v1 == v2 and d1 > d2)
        expect = (d2 if second else d1, len(chains) if second else 2, min(v1, v2))
        got = (float(row["distance"]), int(row["neighbour_protomer"]), float(row["violation"]))
        assert row["atom1"].split()[1:] == [str(ends[0][0]), ends[0][1]], row
        assert (float(row["lower"]), float(row["upper"])) == (lower, upper), row
        assert abs(got[0] - expect[0]) < 0.0015 and got[1] == expect[1] and abs(got[2] - expect[2]) < 0.0015, (row, expect)
        squares.append(min(v1, v2) ** 2)
    score = next(csv.DictReader(open(os.path.join(folder, "score.csv"))))
    assert len(rows) == len(squares) and abs(float(score["delta"]) - numpy.mean(squares) ** 0.5) < 0.0015, score
    assert score["chains"].split(",")[:2] == [first.name, near.name], score
    return float(score["delta"])


def check_pymol(analysis, violations):
    # PyMOL runs the script itself, headless, after loading the viewer script.
    write(os.path.join(analysis, "measure.py"), "from pymol import cmd\n"
          "for n in cmd.get_names('objects'):\n"
          "    if cmd.get_type(n) == 'object:measurement':\n"
          "        low, high = cmd.get_extent(n)\n"  # the box of the one dashed line
          "        print('DIST', n, sum((a - b) ** 2 for a, b in zip(low, high)) ** 0.5)\n"
          "found = []\n"
          "cmd.iterate('ensemble and name CA and resi %d-%d', 'found.append(ss)', space={'found': found})\n"
          "print('HELIX', found.count('H'), len(found), cmd.count_states('ensemble'))\n"
          "print('BACKGROUND', cmd.get('bg_rgb'))\n" % (FIRST, LAST))
    result = subprocess.run(["/usr/bin/python3", "-m", "pymol", "-cq", "view.pml", "measure.py"], cwd=analysis,
                            capture_output=True, text=True, timeout=300)
    assert result.returncode == 0 and "Error" not in result.stdout + result.stderr, result.stdout + result.stderr
    found = dict(re.findall(r"^DIST noe_L(\d+) ([0-9.]+)$", result.stdout, re.M))
    assert sorted(found, key=int) == [v["line"] for v in violations], result.stdout
    assert all(abs(float(found[v["line"]]) - float(v["distance"])) < 0.01 for v in violations), found
    # Every state's helices drawn as helices: PyMOL's secondary structure of the core CA atoms.
    helix, atoms, states = map(int, re.search(r"^HELIX (\d+) (\d+) (\d+)$", result.stdout, re.M).groups())
    assert states == 10 and atoms == 4 * (LAST - FIRST + 1) and helix >= 0.8 * atoms, (helix, atoms, states)
    assert re.search(r"^BACKGROUND white$", result.stdout, re.M), result.stdout


def check_pseudobonds(analysis, violations, model_id="#1.1"):
    """Blank lines, '; key = value' settings, or 'ATOMS ATOMS [colour]' with ATOMS = #1.1/chain:residue@atom
    (#1 for a file of one model); view.cxc shows every atom they join."""
    model = gemmi.read_structure(os.path.join(analysis, "ensemble.pdb"))[0]
    atom_pattern = re.escape(model_id) + r"/([A-Za-z0-9]+):(-?\d+)@([A-Za-z0-9']+)"
    shown = {atoms for line in open(os.path.join(analysis, "view.cxc")) if line.startswith("show ")
             for atoms in line.split()[1].split("|")}
    bonds = []
    lines = [line for line in open(os.path.join(analysis, "restraints.pb")).read().splitlines() if line.strip()]
    settings = [line for line in lines if line.startswith(";")]
    assert all(re.fullmatch(r"; (radius|dashes|color|halfbond) = \S+", line) for line in settings), settings
    for line in (line for line in lines if not line.startswith(";")):
        m = re.fullmatch(atom_pattern + " " + atom_pattern + r"( [a-z]+)?", line)
        assert m, line
        assert set(line.split()[:2]) <= shown, line
        atoms = [model[m.group(k)][m.group(k + 1)][0][m.group(k + 2)][0] for k in (1, 4)]
        bonds.append((atoms[0].pos.dist(atoms[1].pos), (m.group(7) or "").strip()))
    assert len(bonds) == len(violations)
    for (length, colour), v in zip(bonds, violations):
        assert abs(length - float(v["distance"])) < 0.01 and (colour == "red") == (float(v["violation"]) > 0.5), v


def check_readme(out, example):
    """The README's summary, "..." standing for lines left out, appears in order."""
    readme = open(os.path.join(example, "..", "..", "README.md")).read()
    block = readme.split("<!-- analyze-output -->\n```text\n", 1)[1].split("```", 1)[0].splitlines()
    printed = iter(out.splitlines())  # each 'in' goes on from the line found before
    missing = [line for line in block if line != "..." and line not in printed]
    assert not missing, missing


def check_verdict(build, top):
    """Structure 1 is the only candidate within 0.05 A of the best: decided. With a hand-made allowed.csv of two
    clusters the run is not, and the restraint lines it suggests are read by the run itself."""
    analysis = os.path.join(top, "run", "analysis")
    verdict = json.load(open(os.path.join(analysis, "verdict.json")))
    assert verdict["decided"] and verdict["derived"] and verdict["suggested"] == [], verdict
    assert len(gemmi.read_structure(os.path.join(analysis, "clusters.pdb"))) == 1
    rows = open(os.path.join(top, "run", "bm2.cs")).read().splitlines()
    cells = lambda row: ",".join(row[i:i + 10].strip() for i in range(0, 40, 10))
    write(os.path.join(top, "run", "allowed.csv"), "# allowed set\n# tolerance,allowed,cutoff\n0.050,5,2.000\n"
          "cluster,population,delta,phi,theta,psi,radius,packing,spread,to_first\n"
          "1,3,0.000,%s,0.000,0.500,0.000\n2,2,0.200,%s,0.000,0.000,2.472\n" % (cells(rows[0]), cells(rows[2])))
    out = run(build, top, "noebundle-analyze", "run/bm2.param", "--out", "run/undecided")
    assert "Warning: the restraints do not decide the bundle: 5 placements fit them equally, in 2 clusters" in out, out
    verdict = json.load(open(os.path.join(top, "run", "undecided", "verdict.json")))
    assert not verdict["decided"] and [c["population"] for c in verdict["clusters"]] == [3, 2]
    st = gemmi.read_structure(os.path.join(top, "run", "undecided", "clusters.pdb"))
    assert len(st) == 2 and [c.name for c in st[0]] == ["A", "B", "C", "D"]
    block = gemmi.cif.read(os.path.join(top, "run", "undecided", "clusters.cif")).sole_block()
    assert list(block.find_values("_noebundle_model.rank")) == ["1", "2"]  # the cluster each model represents
    suggested = verdict["suggested"]
    assert 0 < len(suggested) <= 10 and all(p["split"] == 0.4 and len(p["distances"]) == 2 for p in suggested)
    lines = [p["line"] for p in suggested]
    write(os.path.join(top, "run", "more.noe"), open(os.path.join(top, "run", "bm2.noe")).read() + "\n".join(lines) + "\n")
    write(os.path.join(top, "run", "more.param"),
          open(os.path.join(top, "run", "bm2.param")).read().replace("run/bm2.noe", "run/more.noe"))
    run(build, top, "noebundle", "run/more.param")
    out = run(build, top, "noebundle-analyze", "run/more.param", "--out", "run/more")
    assert "4 protomers, %d restraints" % (21 + len(lines)) in out, out
    # Each suggestion is violated by the representative of every cluster where its protons lie over 7 A apart.
    for k in (1, 2):
        run(build, top, "noebundle-analyze", "run/more.param", "--score", "run/undecided/clusters.pdb", "--model", str(k),
            "--out", "run/cluster%d" % k)
        rows = list(csv.DictReader(open(os.path.join(top, "run", "cluster%d" % k, "score_violations.csv"))))[21:]
        assert all(float(r["violation"]) > 0 for p, r in zip(suggested, rows) if p["distances"][k - 1] > 7), rows


def main():
    build, example = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    pymol = "--pymol" in sys.argv[3:]
    if pymol and subprocess.run(["/usr/bin/python3", "-c", "import pymol"], capture_output=True).returncode != 0:
        print("PyMOL (python3-pymol) is not installed: view.pml not checked")
        sys.exit(77)
    with tempfile.TemporaryDirectory() as top:
        shutil.copytree(example, os.path.join(top, "run"))
        run(build, top, "noebundle", "run/bm2.param")
        before = {n: open(os.path.join(top, "run", n), "rb").read() for n in os.listdir(os.path.join(top, "run"))}
        out = run(build, top, "noebundle-analyze", "run/bm2.param", "--reference", "run/2kix_model1.pdb",
                  "--residues", "%d-%d" % (FIRST, LAST), "--score", "run/2kix_model1.pdb")
        after = {n: open(os.path.join(top, "run", n), "rb").read() for n in before}
        assert before == after, "the run's own files changed"
        analysis = os.path.join(top, "run", "analysis")
        ranking = list(csv.DictReader(open(os.path.join(analysis, "ranking.csv"))))
        violations = [v for v in csv.DictReader(open(os.path.join(analysis, "violations.csv"))) if v["rank"] == "1"]
        assert ranking[0]["violated_over_threshold"] == "0" and all(float(v["violation"]) == 0 for v in violations)
        assert len(violations) == 21 and "0 violated" in out
        as_good = sum(float(r["delta"]) < 0.0005 for r in ranking)  # 2KIX, scored below, meets every restraint
        assert "ranked structures scoring as well or better: %d of %d (" % (as_good, len(ranking)) in out, out
        check_readme(out, example)
        rmsd = check_reference(out, analysis, os.path.join(top, "run", "2kix_model1.pdb"))
        check_ensembles(analysis, os.path.join(top, "run", "origin.pdb"), ranking)
        for k, model in enumerate(gemmi.read_structure(os.path.join(analysis, "ensemble.pdb"))):
            closest, energy = packing_by_brute_force(model)
            row = ranking[k]
            assert abs(closest - float(row["closest_backbone"])) < 0.002, (k, closest, row)
            assert abs(energy - float(row["packing_energy"])) <= 2 + 1e-3 * abs(energy), (k, energy, row)
        if pymol:
            check_pymol(analysis, violations)
            print("view.pml checked with PyMOL")
            return
        check_pseudobonds(analysis, violations)
        run(build, top, "noebundle-analyze", "run/bm2.param", "--top", "1", "--out", "run/top1")
        check_pseudobonds(os.path.join(top, "run", "top1"), violations, "#1")
        check_score(analysis, os.path.join(top, "run"), "bm2.noe", "2kix_model1.pdb", "2kix_A.pdb")
        # Far from the origin either way, or turned about a slanting axis as deposited files often lie:
        # the same neighbours, the same distances.
        unmoved = list(csv.DictReader(open(os.path.join(analysis, "score_violations.csv"))))
        turn = gemmi.Mat33([[0, 0, 1], [1, 0, 0], [0, 1, 0]])  # a third of a turn about (1, 1, 1)
        for rotation, shift in ((gemmi.Mat33(), (0, 0, -500)), (gemmi.Mat33(), (500, 0, 0)), (turn, (0, 0, 40))):
            st = gemmi.read_structure(os.path.join(top, "run", "2kix_model1.pdb"))
            st.setup_entities()
            st[0].transform_pos_and_adp(gemmi.Transform(rotation, gemmi.Vec3(*shift)))
            st.write_pdb(os.path.join(top, "run", "moved.pdb"))
            run(build, top, "noebundle-analyze", "run/bm2.param", "--score", "run/moved.pdb", "--out", "run/moved",
                "--force")
            assert_same_scores(list(csv.DictReader(open(os.path.join(top, "run", "moved", "score_violations.csv")))),
                               unmoved, (rotation, shift))
        # Each structure of the ensemble scored as a user's file: the neighbours and distances the analysis gave
        # it. A placement turned over (theta over 90) is its mirror twin, numbered the other way round by a file.
        for k in (k for k in range(1, 11) if float(ranking[k - 1]["theta_deg"]) < 90):
            run(build, top, "noebundle-analyze", "run/bm2.param", "--score", "run/analysis/ensemble.pdb", "--model",
                str(k), "--out", "run/model", "--force")
            given = [v for v in csv.DictReader(open(os.path.join(analysis, "violations.csv"))) if v["rank"] == str(k)]
            assert_same_scores(list(csv.DictReader(open(os.path.join(top, "run", "model", "score_violations.csv")))),
                               given, k)
        # noebundle's own structure 1, whose protomers differ only in their segment IDs (as XPLOR and CNS write
        # copies): the protomers found, with the neighbours and distances the analysis gave structure 1.
        run(build, top, "noebundle-analyze", "run/bm2.param", "--score", "run/bm2_1.pdb", "--out", "run/own")
        own = list(csv.DictReader(open(os.path.join(top, "run", "own", "score_violations.csv"))))
        either = lambda r: r["atom1"].split()[1:] == r["atom2"].split()[1:]
        assert len(own) == len(violations) == 21
        assert all(a["neighbour_protomer"] == b["neighbour_protomer"] or either(b) for a, b in zip(own, violations))
        assert all(abs(float(a["distance"]) - float(b["distance"])) < 0.003 for a, b in zip(own, violations))
        segments = next(csv.DictReader(open(os.path.join(top, "run", "own", "score.csv"))))["chains"].split(",")
        assert len(segments) == 4 and len(set(segments)) == 4, segments
        gpa = os.path.join(top, "gpa")
        copy_example("gpa", gpa)
        run(build, gpa, "noebundle-search", "run/gpa.param", "--from", "run/1afo.pdb", "--chain", "A", "--residues", "70-95")
        run(build, gpa, "noebundle", "run/gpa.param")
        for model in (1, 13):  # all restraints met, and 8 violated
            run(build, gpa, "noebundle-analyze", "run/gpa.param", "--score", "run/1afo.pdb", "--model", str(model),
                "--out", "score")
            delta = check_score(os.path.join(gpa, "score"), os.path.join(gpa, "run"), "gpa.noe", "1afo.pdb",
                                "gpa_A.pdb", model)
            assert (delta == 0) == (model == 1), delta
        check_verdict(build, top)
    print("analysis of the BM2 example checked; CA RMSD of structure 1 to 2KIX, residues %d-%d: %.3f A" % (FIRST, LAST, rmsd))


if __name__ == "__main__":
    main()
