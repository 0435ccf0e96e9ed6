#!/usr/bin/env python3
# The user's own restraints from conversion to export, read back by gemmi
# and by noebundle-restraints.
# Usage: check_user_restraints.py BUILD_DIR bm2|whole
#
# bm2: bm2.tbl converted by the search (over bm2.nef's conversion), run and analysis;
# line 23 of bm2.tbl comes out as the user wrote it (QD as HD#, 2.7 0.9 0.5).
# whole: every pair of protons under 5 A between chains A and B of model 1
# of 2KIX (examples/bm2/2kix_model1.pdb) as an XPLOR/CNS table, more than
# the 100 restraints of the window model, run under noeModel=upper:
# conversion, search from the sequence of residues 5-30, run, analysis.
# Both: every end of every assigned statement selects an atom of its segment
# in model 1 of ensemble.pdb; both exports read back to the run's lines;
# assigned.nef names its date and uuid; ensemble.cif holds the ring as its
# assembly. A missing origin file gives the class form, named.
import os
import re
import sys
import tempfile

import gemmi

from support import copy_example, run

SELECTION = r"\(segid (\w+) and resid (-?\d+) and name ([\w#]+)\)"


def statements_of(table):
    """Each assign statement as its selections (segid, resid, name) and its distance terms."""
    return [(re.findall(SELECTION, line), " ".join(line.split()[-3:])) for line in table.splitlines()
            if line.startswith("assign ")]


def whole_list(pdb):
    """Every proton pair under 5 A between the first two chains, as XPLOR/CNS lines."""
    a, b = [[(r.seqid.num, h) for r in chain for h in r if h.is_hydrogen()] for chain in gemmi.read_structure(pdb)[0]][:2]
    return ["assign (segid A and resid %d and name %s) (segid B and resid %d and name %s) %.1f %.1f 0.5"
            % (ra, x.name, rb, y.name, x.pos.dist(y.pos), max(x.pos.dist(y.pos) - 1.8, 0.0))
            for ra, x in a for rb, y in b if x.pos.dist(y.pos) < 5.0]


def check_ends(statements, pdb):
    """Every end selects an atom of its segment in model 1; XPLOR's '#' for trailing digits."""
    model = gemmi.read_structure(pdb)[0]
    for selections, _ in statements:
        for segid, resid, name in selections:
            pattern = re.compile(name.replace("#", r"\d*") + "$")
            assert any(pattern.match(a.name) for ch in model for r in ch
                       if r.segment.strip() == segid and r.seqid.num == int(resid) for a in r), (segid, resid, name)


def check_exports(build, top, noe):
    analysis = os.path.join(top, "run", "analysis")
    table = open(os.path.join(analysis, "assigned.tbl")).read()
    statements = statements_of(table)
    check_ends(statements, os.path.join(analysis, "ensemble.pdb"))
    for exported in ("assigned.tbl", "assigned.nef"):
        run(build, top, "noebundle-restraints", os.path.join(analysis, exported), "--noe-model", "upper", "--out", "back.noe")
        assert open(os.path.join(top, "back.noe")).read() == open(noe).read(), exported
    meta = gemmi.cif.read(os.path.join(analysis, "assigned.nef")).sole_block().find_frame("nef_nmr_meta_data")
    assert meta.find_value("_nef_nmr_meta_data.creation_date") == "2023-11-14T22:13:20"  # SOURCE_DATE_EPOCH's
    assert re.fullmatch(r"[0-9a-f]{8}-[0-9a-f]{4}-8[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}", meta.find_value("_nef_nmr_meta_data.uuid"))
    st = gemmi.read_structure(os.path.join(analysis, "ensemble.cif"))
    (assembly,) = st.assemblies
    (gen,) = assembly.generators
    assert list(gen.subchains) == ["A"] and len(gen.operators) == len(st[0]) == 4 and assembly.oligomeric_details == "tetrameric"
    a = st[0]["A"][0]["CA"][0].pos
    for op, chain in zip(gen.operators, st[0]):  # operator k turns chain A onto the k-th chain
        assert gemmi.Position(op.transform.apply(a)).dist(chain[0]["CA"][0].pos) < 0.002, chain.name
        assert op.type == ("identity operation" if chain.name == "A" else "point symmetry operation"), op.type
    block = gemmi.cif.read(os.path.join(analysis, "ensemble.cif")).sole_block()
    site = block.find("_atom_site.", ["group_PDB", "auth_comp_id", "label_comp_id", "auth_atom_id", "label_atom_id"])
    assert all(r[0] == "ATOM" and r[1] == r[2] and r[3] == r[4] for r in site) and len(site) > 0
    assert block.find_value("_software.name") == "noebundle-analyze"
    return table, statements


def check_fallback(build, top, noe):
    """A missing origin file: the class form, the export naming the file."""
    os.remove(noe + ".origin")
    run(build, top, "noebundle-analyze", "run/bm2.param")
    table = open(os.path.join(top, "run", "analysis", "assigned.tbl")).read()
    assert "No origin file 'run/bm2.noe.origin'" in table and "\n! line 1: (resid" in table, table[:500]


def main():
    build, case = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.environ["SOURCE_DATE_EPOCH"] = "1700000000"
    with tempfile.TemporaryDirectory() as top:
        folder = copy_example("bm2", top)
        noe = os.path.join(folder, "bm2.noe")
        os.remove(noe)
        if case == "bm2":
            # bm2.nef's origin first: the search's conversion of bm2.tbl must replace it.
            run(build, top, "noebundle-restraints", "run/bm2.nef", "--out", "run/bm2.noe")
            run(build, top, "noebundle-search", "run/bm2.param", "--from", "run/2kix_model1.pdb", "--chain", "A",
                "--restraints", "run/bm2.tbl", "--force")
        else:
            lines = whole_list(os.path.join(folder, "2kix_model1.pdb"))
            open(os.path.join(folder, "whole.tbl"), "w").write("\n".join(lines) + "\n")
            with open(os.path.join(folder, "bm2.param"), "a") as f:
                f.write("noeModel=upper\n")
            read = run(build, top, "noebundle-restraints", "run/whole.tbl", "--noe-model", "upper").splitlines()[0]
            kept = int(re.search(r"(\d+) kept", read)[1])
            assert read.startswith("Read 'run/whole.tbl' as XPLOR/CNS: %d distance restraints" % len(lines)) and kept > 100, read
            chain = gemmi.read_structure(os.path.join(folder, "2kix_model1.pdb"))[0][0]
            sequence = gemmi.one_letter_code([r.name for r in chain if 5 <= r.seqid.num <= 30])
            run(build, top, "noebundle-search", "run/bm2.param", "--sequence", sequence, "--first", "5",
                "--restraints", "run/whole.tbl")
        run(build, top, "noebundle", "run/bm2.param")
        run(build, top, "noebundle-analyze", "run/bm2.param")
        table, statements = check_exports(build, top, noe)
        if case == "bm2":  # line 23: (segid B and resid 13 and name QD) (segid A and resid 8 and name HG) 2.7 0.9 0.5
            line23 = table.split("! line 23 of 'run/bm2.tbl'", 1)[1].splitlines()[1]
            ((a, b), terms), = statements_of(line23)
            assert (a[1:], b[1:], terms) == (("13", "HD#"), ("8", "HG"), "2.7 0.9 0.5") and a[0] != b[0], line23
        else:  # the list's specific protons and distance terms, each restraint once a protomer
            names = {line.split()[k].rstrip(")") for line in lines for k in (8, 16)}
            assert {sel[2] for selections, _ in statements for sel in selections} <= names
            assert {terms for _, terms in statements} <= {" ".join(line.split()[-3:]) for line in lines}
            assert len(statements) == 4 * len(open(noe).read().splitlines()) > 400, len(statements)
            print("whole list: %d lines, %d kept, %d restraints in the run" % (len(lines), kept, len(statements) // 4))
        check_fallback(build, top, noe)


if __name__ == "__main__":
    main()
