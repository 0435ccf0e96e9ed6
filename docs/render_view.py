#!/usr/bin/env python3
"""Renders the hand-prepared BM2 example as the unmodified view.pml of a
default noebundle-analyze shows it (structure 1 with its restraints) to
docs/bm2-view.png: only the picture's size is chosen here. Not needed by CI.

Usage: python3 docs/render_view.py [BUILD_DIR]   (from the project folder; needs PyMOL)
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    with tempfile.TemporaryDirectory() as top:
        shutil.copytree(os.path.join(ROOT, "examples", "bm2-prepared"), os.path.join(top, "run"))
        subprocess.run([os.path.join(build, "noebundle"), "run/bm2.param"], cwd=top, check=True, stdout=subprocess.DEVNULL)
        subprocess.run([os.path.join(build, "noebundle-analyze"), "run/bm2.param"], cwd=top, check=True,
                       stdout=subprocess.DEVNULL)
        picture = os.path.join(HERE, "bm2-view.png")
        subprocess.run(["/usr/bin/python3", "-m", "pymol", "-cq", "view.pml", "-d",
                        "png %s, width=640, height=820, dpi=150, ray=1" % picture],
                       cwd=os.path.join(top, "run", "analysis"), check=True, stdout=subprocess.DEVNULL)
    print("wrote", picture)


if __name__ == "__main__":
    main()
