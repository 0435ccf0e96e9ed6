#!/usr/bin/env python3
"""Renders structure 1 of the hand-prepared BM2 example with its restraints,
as view.pml shows it, to docs/bm2-view.png. Not needed by CI.

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
        subprocess.run([os.path.join(build, "noebundle-analyze"), "run/bm2.param", "--top", "1"], cwd=top, check=True,
                       stdout=subprocess.DEVNULL)
        picture = os.path.join(HERE, "bm2-view.png")
        script = ("import pymol; pymol.finish_launching(['pymol', '-cq']); from pymol import cmd\n"
                  "cmd.load('view.pml')\n"
                  "cmd.bg_color('white'); cmd.set('ray_opaque_background', 1)\n"
                  "cmd.hide('labels'); cmd.set('dash_radius', 0.12); cmd.set('cartoon_transparency', 0.2)\n"
                  "cmd.turn('z', 90); cmd.turn('y', 20); cmd.zoom('ensemble', 1)\n"
                  "cmd.png(%r, width=640, height=820, dpi=150, ray=1)\n" % picture)
        subprocess.run(["/usr/bin/python3", "-c", script], cwd=os.path.join(top, "run", "analysis"), check=True,
                       stdout=subprocess.DEVNULL)
    print("wrote", picture)


if __name__ == "__main__":
    main()
