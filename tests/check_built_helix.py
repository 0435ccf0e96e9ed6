#!/usr/bin/python3
"""noebundle-search --sequence as a user runs it: the helix it writes read
back by gemmi (residues, numbers, atoms) and PyMOL's dss, which must call
every residue but the two at each end helix.

Usage: check_built_helix.py BUILD_DIR
"""
import os
import re
import subprocess
import sys
import tempfile

import gemmi

from support import copy_example, run, write

SEQUENCE = "RMKQLEDKVEELLSKNYHLENEVARLKKLVG"  # GCN4's leucine zipper (2ZTA)


def main():
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as top:
        write(os.path.join(top, "run.param"), "proteinName=zip\nworkDir=run\npdbFile=run/zip_A.pdb\nnoeFile=run/zip.noe\n"
              "memFile=none\nnumProtomer=2\nmemResFlag=0\nss_angle=30\nr_beg=4\nr_end=8\nss_r=1\nuncertainty=1.5\n")
        os.mkdir(os.path.join(top, "run"))
        write(os.path.join(top, "run", "zip.noe"), "(resid 6 and name HD11) (resid 13 and name HD11)\n"
              "(resid 13 and name HA) (resid 17 and name HB)\n(resid 20 and name HD11) (resid 27 and name HD21)\n")
        first, plan = run(build, top, "noebundle-search", "run.param", "--sequence", SEQUENCE, "--first", "2").splitlines()[:2]
        assert first == "Built an ideal alpha-helix of 31 residues (537 atoms, residues 2 to 32 of chain A)", first
        assert plan.startswith("Searched as a built helix (the default with --sequence): "), plan
        made = sorted(os.listdir(os.path.join(top, "run")))
        assert made == [".noebundle-search", "allowed.csv", "check_pdb.log", "origin.pdb", "zip.cs", "zip.log", "zip.noe", "zip_A.pdb"], made
        path = os.path.join(top, "run", "zip_A.pdb")
        st = gemmi.read_structure(path)
        chain = st[0]["A"]
        assert gemmi.one_letter_code([r.name for r in chain]) == SEQUENCE
        assert [r.seqid.num for r in chain] == list(range(2, 33))
        assert sum(len(r) for r in chain) == 537 and chain[0].find_atom("H", "*") and chain[30].find_atom("OXT", "*")
        if subprocess.run(["/usr/bin/python3", "-c", "import pymol"], capture_output=True).returncode != 0:
            print("SKIPPED: PyMOL's dss (no pymol for /usr/bin/python3)")
            return
        write(os.path.join(top, "dss.py"), "from pymol import cmd\ncmd.load(%r, 'h')\ncmd.dss('h')\nout = []\n"
              "cmd.iterate('h and name CA', 'out.append(ss)', space={'out': out})\n"
              "print('SS ' + ''.join(s or '-' for s in out))\n" % path)
        done = subprocess.run(["/usr/bin/python3", "-m", "pymol", "-cq", "dss.py"], cwd=top, capture_output=True,
                              text=True)
        ss = [line[3:] for line in done.stdout.splitlines() if line.startswith("SS ")][0]
        assert ss[2:-2] == "H" * (len(SEQUENCE) - 4), ss
    print("built helix read by gemmi; PyMOL's dss: " + ss)


def check_warnings(build):
    """The grid's edge, both ends: glycophorin A's residues 74-99 numbered
    from 70, so that the example's restraints fall on the wrong residues and
    pull the best placement to the grid's smallest radius, its side chains
    overlapping; and BM2 (radius 7.7) on a grid that ends at 6."""
    cases = [("gpa", ["--sequence", "ITLIIFGVMAGVIGTILLISYGIRRL", "--first", "70", "--radius", "3.5:8:0.5"],
              "first radius of the grid (3.500)"),
             ("bm2", ["--from", "run/2kix_model1.pdb", "--chain", "A", "--radius", "3:6:0.5"],
              "last radius of the grid (6.000)")]
    for example, options, edge in cases:
        with tempfile.TemporaryDirectory() as top:
            copy_example(example, top)
            out = run(build, top, "noebundle-search", "run/%s.param" % example, "--angle-step", "10", *options)
            warnings = [line for line in out.splitlines() if line.startswith("Warning: ")]
            assert warnings[0] == "Warning: the best placement lies on the %s; a better one may lie beyond it" % edge, \
                warnings
            assert warnings[1].startswith("Warning: the best placement's packing energy is positive ("), warnings
            assert out.splitlines()[-1].startswith("[Done] 100 placements"), out


def check_supercoil(build):
    """--supercoil on BM2's sequence and the example's first four restraints,
    which the straight and the supercoiled helix both meet: on the tie the
    supercoiled one is kept, bent toward the bundle's axis; both searches
    count among the placements searched (2 x 307800); and the same command
    run again without --force finds its own helix in pdbFile and changes
    nothing."""
    with tempfile.TemporaryDirectory() as top:
        folder = copy_example("bm2", top)
        with open(os.path.join(folder, "bm2.noe")) as f: lines = f.readlines()[:4]
        with open(os.path.join(folder, "bm2.noe"), "w") as f: f.writelines(lines)
        outputs = []
        for _ in range(2):
            out = run(build, top, "noebundle-search", "run/bm2.param", "--sequence", "MLEPFQILSISSFILSALHFIAWTIGHLNQIKR",
                      "--supercoil", "--angle-step", "10")
            said = [line for line in out.splitlines() if line.startswith("Supercoil: ")]
            assert re.search(r"winds left-handed; a seam of 3\.5 residues a turn on a helix of 3\.62 bends the helix to a "
                             r"radius of curvature of \d+\.\d; its best scores 0\.000 \(.*against 0\.000 \(.*\) straight: "
                             r"kept the supercoiled helix$", said[0]), said
            assert "Placements searched: 615600\n" in out, out
            with open(os.path.join(folder, "2kix_A.pdb")) as f:
                outputs.append((sorted(os.listdir(folder)), f.read()))
        assert outputs[0] == outputs[1]
        cas = [r.find_atom("CA", "*").pos for r in gemmi.read_structure(os.path.join(folder, "2kix_A.pdb"))[0]["A"]]
        # Bent (the bend's geometry is the supercoil's unit tests'): the middle
        # lies off the line between the ends, as it does not in a straight helix.
        first, last, mid = [gemmi.Position(*[sum(getattr(p, c) for p in part) / 4 for c in "xyz"])
                            for part in (cas[:4], cas[-4:], cas[len(cas) // 2 - 2:len(cas) // 2 + 2])]
        along = (last - first) / last.dist(first)
        off = (mid - first) - along * (mid - first).dot(along)
        assert off.length() > 1.0, off.length()


def check_as_built(build):
    """--as-built searches a helix given with --from as --refine --supercoil do, and says so."""
    with tempfile.TemporaryDirectory() as top:
        copy_example("bm2", top)
        found = []
        for options in (["--as-built"], ["--refine", "--supercoil"]):
            out = run(build, top, "noebundle-search", "run/bm2.param", "--from", "run/2kix_model1.pdb", "--chain", "A",
                      "--angle-step", "10", "--force", *options)
            said = any(line.startswith("Searched as a built helix (--as-built): ") for line in out.splitlines())
            found.append((said, open(os.path.join(top, "run", "bm2.cs")).read()))
        assert found[0] == (True, found[1][1]) and not found[1][0], found


if __name__ == "__main__":
    main()
    check_warnings(os.path.abspath(sys.argv[1]))
    check_supercoil(os.path.abspath(sys.argv[1]))
    check_as_built(os.path.abspath(sys.argv[1]))
