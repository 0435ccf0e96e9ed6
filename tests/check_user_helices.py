#!/usr/bin/python3
"""noebundle-search --from with the helices users bring: one built by
PyMOL's fab (glycine protons HA and 3HA), the same without hydrogens, the
deposited M2 helix 1MP6 (no proton on GLY 34); and glycophorin A's dimer run
as a tetramer, which draws the warning on the number of copies.

Usage: check_user_helices.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

import gemmi

from support import copy_example, run

HERE = os.path.dirname(os.path.abspath(__file__))
GPA = "EPEITLIIFGVMAGVIGTILLISYGIRRLIKK"  # glycophorin A 70-101 (1AFO)
GLYCINES = [79, 83, 86, 94]


def search(build, top, helix, *options, param="gpa.param"):
    return run(build, top, "noebundle-search", param, "--from", helix, "--force", "--angle-step", "30", "--radius", "6:9:1",
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
        pymol = gemmi.read_structure(os.path.join(top, "fab.pdb"))
        pymol.remove_hydrogens()
        pymol.write_pdb(os.path.join(top, "bare.pdb"))
        out = search(build, top, "bare.pdb")
        assert out[:4] == ["From 'bare.pdb': placed HA2 of GLY %d from its backbone" % n for n in GLYCINES], out
        assert glycine_protons(top) == {n: ["HA2"] for n in GLYCINES}, glycine_protons(top)
        shutil.copy(os.path.join(HERE, "data", "1mp6.pdb"), top)
        with open(os.path.join(top, "gpa.param")) as f:
            param = f.read()
        with open(os.path.join(top, "m2.param"), "w") as f:
            f.write(param.replace("gpa", "m2").replace("numProtomer=2", "numProtomer=4"))
        with open(os.path.join(top, "run", "m2.noe"), "w") as f:
            f.write("(resid 27 and name HG1) (resid 31 and name HB)\n(resid 34 and name HA2) (resid 38 and name HN)\n"
                    "(resid 30 and name HB) (resid 41 and name HA)\n")
        out = search(build, top, "1mp6.pdb", param="m2.param")
        assert out[0] == "From '1mp6.pdb': placed HA2 of GLY 34 from its backbone", out
        with open(os.path.join(top, "gpa.param"), "w") as f:
            f.write(param.replace("numProtomer=2", "numProtomer=4"))
        out = search(build, top, "run/1afo.pdb", "--chain", "A", "--residues", "70-95")
        warnings = [line for line in out if line.startswith("Warning: ")]
        assert warnings[0] == ("Warning: numProtomer is 4 but the --from model has 2 chains of the chosen chain's "
                          "sequence"), warnings
    print("PyMOL's, hydrogen-free and 1MP6 helices taken; the copies warned of")


if __name__ == "__main__":
    main()
