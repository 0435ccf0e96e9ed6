#!/usr/bin/python3
# The geometry that noebundle-search and noebundle-analyze give for
# structure 1, against a measurement of the structure file with gemmi and
# numpy: glycophorin A from its sequence as the README runs it (a right-handed
# crossing), and GCN4's leucine zipper from its sequence with --refine
# --supercoil and ten restraints from 2ZTA (a left-handed coiled coil that
# winds). Axes by the bisector method as the program's header says, coded
# apart; the closest approach by sampling both segments; the interface from
# every heavy-atom pair of the file.
#
# Usage: check_geometry.py BUILD_DIR
import csv, os, re, sys, tempfile

import gemmi
import numpy as np

from support import ROOT, copy_example, shell

GCN4 = ("12 HB 13 HN", "26 HA 30 HG", "23 HG 26 HG", "8 HB 9 HG", "16 HB 16 HD", "26 HB 27 HG", "19 HD 23 HN",
        "26 HG 27 HZ", "26 HA 26 HB", "5 HB 5 HD")
GCN4_PARAM = ("proteinName=zip\nworkDir=run\npdbFile=run/zip_A.pdb\nnoeFile=run/zip.noe\nmemFile=none\nnumProtomer=2\n"
              "memResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\nuncertainty=1.5\nnoeModel=upper\n")
WORDS = (r"Geometry of the best: crossing angle (-?[\d.]+)° \((right|left)-handed\), axes ([\d.]+) Å apart, "
         r"([\d.]+) Å from the symmetry axis, tilt ([\d.]+)°(, winding about it with radius [\d.]+ Å and pitch \d+ Å)?")


def axis(ca):
    # Start and end of the axis over the helix's extent, its direction, and its point nearest the CA centre.
    x = np.array(ca)
    u = 2 * x[1:-1] - x[:-2] - x[2:]
    n = np.linalg.norm(u, axis=1)
    radius = np.sqrt(n[:-1] * n[1:]) / (2 * (1 - np.sum(u[:-1] * u[1:], 1) / (n[:-1] * n[1:])))
    points = x[1:-2] - (radius / n[:-1])[:, None] * u[:-1]
    c = points.mean(0)
    d = np.linalg.svd(points - c)[2][0]
    d = d if d @ (x[-1] - x[0]) > 0 else -d
    return [c + ((p - c) @ d) * d for p in (x[0], x[-1])] + [d, c + ((x.mean(0) - c) @ d) * d]


def measure(path):
    atoms = {}
    for residue in (r for chain in gemmi.read_structure(path)[0] for r in chain):
        atoms.setdefault(residue.segment.strip(), []).extend((residue, a) for a in residue)
    (p0, p1, a, centre), (q0, q1, b, _) = [axis([x.pos.tolist() for _, x in atoms[s] if x.name == "CA"]) for s in ("AN1", "AN2")]
    s = np.linspace(0, 1, 801)[:, None]
    distance = np.linalg.norm((p0 + s * (p1 - p0))[:, None] - (q0 + s * (q1 - q0))[None], axis=2).min()
    crossing = np.sign(np.cross(a, b) @ (q0 - p0)) * np.degrees(np.arccos(a @ b))
    heavy = {s: [(r, np.array(x.pos.tolist())) for r, x in atoms[s] if not x.is_hydrogen()] for s in atoms}
    others = np.array([p for s in heavy if s != "AN1" for _, p in heavy[s]])
    near = {"%s%d" % (r.name.capitalize(), r.seqid.num) for r, p in heavy["AN1"] if np.linalg.norm(others - p, axis=1).min() <= 4.5}
    return crossing, distance, np.hypot(*centre[:2]), np.degrees(np.arccos(abs(a[2]))), near


def check(build, top, name, command, winds):
    # Runs the command (search, run, analysis); the search's words and ranking.csv's row 1 against the file.
    out = shell(build, top, command)
    words = re.search(WORDS, out)
    assert words and bool(words[6]) == winds, out
    *measured, near = measure(os.path.join(top, "run", name + "_1.pdb"))
    said = [float(words[k]) for k in (1, 3, 4, 5)]
    assert np.allclose(said, measured, atol=[0.1, 0.02, 0.1, 0.1]), (said, measured)
    row = next(csv.DictReader(open(os.path.join(top, "run", "analysis", "ranking.csv"))))
    table = [float(row[k]) for k in ("crossing_angle", "axis_distance", "axis_radius", "tilt")]
    assert np.allclose(table, measured, atol=[0.05, 0.01, 0.01, 0.05]), (table, measured)
    listed = re.search(r"Interface of the best \(.*\): (.*)", out)[1].split(", ")
    assert set(listed) == near, (listed, sorted(near))
    print("%s: crossing angle %.2f, axes %.3f A apart, %.3f A from z, tilt %.2f (ranking.csv %s); interface %s"
          % tuple([name] + measured + [table, ", ".join(listed)]))
    return measured


def main():
    build = os.path.abspath(sys.argv[1])
    readme = open(os.path.join(ROOT, "README.md")).read().splitlines()
    with tempfile.TemporaryDirectory() as top:
        copy_example("gpa", top)
        crossing, distance, _, _ = check(build, top, "gpa", next(line for line in readme if "run/gpa.param --sequence" in line), False)
        assert -38 < crossing < -33 and 6.7 < distance < 7.2, (crossing, distance)  # a right-handed crossing
    with tempfile.TemporaryDirectory() as top:
        os.mkdir(os.path.join(top, "run"))
        open(os.path.join(top, "run.param"), "w").write(GCN4_PARAM)
        open(os.path.join(top, "run", "zip.noe"), "w").write(
            "".join("(resid %s and name %s) (resid %s and name %s)\n" % tuple(line.split()) for line in GCN4))
        crossing = check(build, top, "zip", "./build/noebundle-search run.param --sequence MKQLEDKVEELLSKNYHLENEVARLKKLV "
                         "--first 2 --refine --supercoil && ./build/noebundle run.param && ./build/noebundle-analyze run.param", True)[0]
        assert 15 < crossing < 30, crossing  # a left-handed coiled coil


if __name__ == "__main__":
    main()
