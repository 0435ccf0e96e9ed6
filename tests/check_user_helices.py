#!/usr/bin/python3
"""noebundle-search --from with the helices users bring: one built by
PyMOL's fab (glycine protons HA and 3HA; the other namings, and helices
without hydrogens, are cases of the preparation's unit tests); and
glycophorin A's dimer run as a tetramer, which draws the warning on the
number of copies.

Usage: check_user_helices.py BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile

import gemmi

from support import copy_example, run, write

GPA = "EPEITLIIFGVMAGVIGTILLISYGIRRLIKK"  # glycophorin A 70-101 (1AFO)
GLYCINES = [79, 83, 86, 94]


def search(build, top, helix, *options):
    return run(build, top, "noebundle-search", "gpa.param", "--from", helix, "--force", "--angle-step", "30", "--radius", "6:9:1",
               *options).splitlines()


def glycine_protons(top):
    chain = gemmi.read_structure(os.path.join(top, "run", "gpa_A.pdb"))[0]["A"]
    return {r.seqid.num: sorted(a.name for a in r if a.name.startswith("HA")) for r in chain if r.name == "GLY"}


def main():
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as top:
        copy_example("gpa", top)
        os.rename(os.path.join(top, "run", "gpa.param"), os.path.join(top, "gpa.param"))
        subprocess.run(["/usr/bin/python3", "-c", "from pymol import cmd; cmd.fab(%r, ss=1, resi=70); "
                        "cmd.save('fab.pdb')" % GPA], cwd=top, check=True, capture_output=True)
        out = search(build, top, "fab.pdb")
        assert out[:4] == ["From 'fab.pdb': took HA of GLY %d as HA2" % n for n in GLYCINES], out
        assert glycine_protons(top) == {n: ["HA2", "HA3"] for n in GLYCINES}, glycine_protons(top)
        param = os.path.join(top, "gpa.param")
        write(param, open(param).read().replace("numProtomer=2", "numProtomer=4"))
        out = search(build, top, "run/1afo.pdb", "--chain", "A", "--residues", "70-95")
        warnings = [line for line in out if line.startswith("Warning: ")]
        assert warnings[0] == ("Warning: numProtomer is 4 but the --from model has 2 chains of the chosen chain's "
                          "sequence"), warnings
    print("PyMOL's helix taken; the copies warned of")


if __name__ == "__main__":
    main()
