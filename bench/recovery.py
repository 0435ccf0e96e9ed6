#!/usr/bin/python3
"""How often the search and the run recover the deposited oligomer from
sparse restraints, and the CA RMSD of structure 1 against the deposited
model 1 over the helix's residues. Two kinds of lists:

- filtered (default): random subsets of 4 to 12 of the restraints shipped
  with each real example, chosen so that their stand-in atoms lie inside
  the class windows; noebundle-search and noebundle in a scratch copy of
  the example.
- real (--real): every inter-chain proton pair under 5 A of the deposited
  structure (model 1, the helix's residues, every pair of chains), each
  proton written as its class, as a spectrum would give them; random
  subsets of 5 to 12, scored with --noe-model (window, upper or reach;
  default upper). Structures:
  glycophorin A, BM2 and the two coiled coils of the shared real data.
- from the sequence (--sequence, with --real): as --real, but the helix is
  the ideal one noebundle-search --sequence builds from the deposited
  chain's sequence, numbered from the chain's first residue, and searched
  as noebundle-search --sequence searches it (by default with --refine and
  --supercoil); the fraction is counted under 2.0 A, since an ideal
  straight helix itself lies 0.6 to 1.5 A from the deposited chains.
- --refine (with --real, with or without --sequence): noebundle-search
  --refine, the kept placements packed and refined off the grid.
- --supercoil (with --real): noebundle-search --supercoil, the helix also
  searched bent as a supercoil, the better kept.
- --pool [DIR] (with --real): also the deposited oligomers of DIR (default
  ../shared/data/pool), as its cases.json gives them: the file, the number
  of copies (chains A, B, ... in ring order), the residues of chain A that
  make the helix, and the core, whose residues the restraints and the RMSD
  use. The ten structures are split by structure into a set to choose
  methods on (SETS["choose"]) and a set to check them on (SETS["check"]);
  with --pool the figures are also given per set.
- --calibrate: how well the analysis's verdict (decided or not, its
  clusters, its suggested cross peaks) tells a right bundle from a wrong
  one, on real lists of the four structures and the pool, built helices,
  --refine --supercoil; see calibration.py. --subsets seeds (default 12)
  and the full list for each; --jobs runs at a time (1 or 2).
- --kept: for each subset above the threshold, also the structure nearest
  the deposited oligomer among all those written, and its rank: whether a
  miss is one of ranking (the right placement kept, but not first) or of
  the search (none kept near it); and per structure and per set, the
  figures of the nearest kept structure, which the best order of the
  kept list would reach.

Usage: /usr/bin/python3 bench/recovery.py [BUILD_DIR] [--subsets N] [--first-seed S]
                                          [--real [--sequence] [--refine] [--supercoil] [--noe-model window|upper|reach]
                                           [--kept] [--pool [DIR]]
                                           [--data DIR]]
                                          [--calibrate [--pool DIR] [--jobs 1|2] [--data DIR]]

Prints, per structure, the fraction of subsets whose structure 1 lies under
1.5 A (2.0 A with --sequence; then also the count under 1.5 A) and the median
RMSD, and the subsets above it; with --pool, the same per set.
"""
import argparse
import collections
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import tempfile
import time

import gemmi

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
# name, folder, deposited file, residues of the RMSD, search options
EXAMPLES = [
    ("bm2", "bm2", "2kix_model1.pdb", (5, 30), ["--from", "run/2kix_model1.pdb", "--chain", "A"]),
    ("gpa", "gpa", "1afo.pdb", (70, 95),
     ["--from", "run/1afo.pdb", "--chain", "A", "--model", "1", "--residues", "70-95"]),
]
# A structure of real lists: name, structure file, chains in ring order, the
# residues of the restraints and the RMSD, the folder the file lies in (None:
# the shared real data), and the residues of chain A that make the helix
# (None: the residues above, or the whole chain when built from the sequence).
Structure = collections.namedtuple("Structure", "name filename chains residues folder helix", defaults=(None,))
REAL = [
    Structure("gpa", "1afo.pdb", "AB", (70, 95), "examples/gpa"),
    Structure("bm2", "2kix_model1.pdb", "ABCD", (5, 30), "examples/bm2"),
    Structure("gcn4", "2zta_h.pdb", "AB", (2, 30), None),
    Structure("ccpent", "4pn8_h.pdb", "ABCDE", (2, 29), None),
]
POOL = os.path.join(ROOT, "..", "shared", "data", "pool")
# Whatever is tuned is tuned on the first set; the second checks it. Each
# holds a right-handed or channel-like kind and coiled coils of 2-4 copies.
SETS = {"choose": ("gpa", "gcn4", "1zij", "1gcl", "1coi"), "check": ("bm2", "ccpent", "4dzn", "3v86", "1g1j")}
NEAR = 5.0  # Angstrom between two protons of different chains
GOOD = 1.5


def pool_structures(pool):
    """The structures of a pool folder, as its cases.json gives them: chains A, B, ... in ring order."""
    with open(os.path.join(pool, "cases.json")) as f:
        cases = json.load(f)
    return [Structure(name, case["file"], "ABCDEFGH"[:case["nprot"]],
                      tuple(int(x) for x in case["core"].split("-")), os.path.abspath(pool), tuple(case["helix"]))
            for name, case in cases.items()]


def source_of(structure, data):
    """The path of a structure's deposited file."""
    return os.path.join(ROOT, structure.folder or data, structure.filename)


def oligomer_cas(model, first, last):
    """CA positions of each protomer of one model of a written oligomer: by chain (the analysis's
    files), or by segment name where the chain is blank (the run's structure files)."""
    segments = not any(chain.name.strip() for chain in model)
    protomers = {}
    for chain in model:
        for r in chain:
            atom = r.find_atom("CA", "*")
            if atom and first <= r.seqid.num <= last:
                protomers.setdefault(r.segment.strip() if segments else chain.name, []).append(atom.pos)
    order = sorted(protomers, key=lambda s: int(s[2:])) if segments else list(protomers)
    return [protomers[k] for k in order]


def model_cas(path, first, last):
    """CA positions of each protomer of model 1 of a written oligomer."""
    return oligomer_cas(gemmi.read_structure(path)[0], first, last)


def deposited_cas(path, first, last):
    chains = []
    for chain in gemmi.read_structure(path)[0]:
        chains.append([r.find_atom("CA", "*").pos for r in chain
                       if first <= r.seqid.num <= last and r.find_atom("CA", "*")])
    return chains


def rmsd(model, deposited):
    """The best superposition over every way round the ring and every start."""
    n = len(deposited)
    mobile = [p for protomer in model for p in protomer]
    best = None
    for direction in (1, -1):
        for start in range(n):
            target = [p for i in range(n) for p in deposited[(start + direction * i) % n]]
            value = gemmi.superpose_positions(target, mobile).rmsd
            best = value if best is None else min(best, value)
    return best


def proton_class(name):
    """The class noebundle gives a proton name, or None (terminal H1-H3)."""
    if name == "H" or name.startswith("HN"):
        return "HN"
    return "H" + name[1] if len(name) > 1 and name[1] in "ABGDEZH" else None


def real_list(path, chains, first, last):
    """Every inter-chain proton pair under NEAR of model 1 as restraint lines, each line once."""
    structure = gemmi.read_structure(path)
    structure.setup_entities()
    model = structure[0]
    protons = [(ch.name, r.seqid.num, proton_class(a.name), a.pos) for ch in model if ch.name in chains
               for r in ch if first <= r.seqid.num <= last for a in r if a.is_hydrogen()]
    protons = [p for p in protons if p[2]]
    lines, seen, across = [], set(), 0
    for i, (c1, r1, k1, x1) in enumerate(protons):
        for c2, r2, k2, x2 in protons[i + 1:]:
            if c1 == c2 or x1.dist(x2) >= NEAR:
                continue
            key = min((r1, k1, r2, k2), (r2, k2, r1, k1))
            if key in seen:
                continue
            seen.add(key)
            n = len(chains)
            across += (chains.index(c1) - chains.index(c2)) % n not in (1, n - 1)
            lines.append("(resid %d and name %s) (resid %d and name %s)\n" % key)
    return lines, across


def chain_sequence(path, chain, residues=None):
    """The one-letter sequence of a chain of model 1 (only FIRST to LAST of residues, when given)
    and its first residue number."""
    structure = gemmi.read_structure(path)
    structure.setup_entities()
    residues = [r for r in structure[0][chain] if r.entity_type == gemmi.EntityType.Polymer and
                (residues is None or residues[0] <= r.seqid.num <= residues[1])]
    return gemmi.one_letter_code([r.name for r in residues]).upper(), residues[0].seqid.num


def real_subset(restraints, seed):
    """The seed's random subset of 5 to 12 lines."""
    rng = random.Random(seed)
    return rng.sample(restraints, min(len(restraints), rng.randint(5, 12)))


def run_real(build, structure, source, lines, seed, top, noe_model, built=None, refine=False, supercoil=False,
             threads=None):
    """Search and run the restraint lines in a fresh folder top/run; returns as run_commands."""
    name, filename, chains, (first, last) = structure[:4]
    run = os.path.join(top, "run")
    shutil.rmtree(run, ignore_errors=True)
    os.makedirs(run)
    shutil.copy(source, os.path.join(run, filename))
    with open(os.path.join(run, name + ".noe"), "w") as f:
        f.write("".join(lines))
    with open(os.path.join(run, name + ".param"), "w") as f:
        f.write("proteinName=%s\nworkDir=run\npdbFile=run/%s_A.pdb\nnoeFile=run/%s.noe\nmemFile=run/none\n"
                "numProtomer=%d\nmemResFlag=0\nss_angle=5\nr_beg=3\nr_end=15\nss_r=0.5\nuncertainty=1.5\n"
                "noeModel=%s\n" % (name, name, name, len(chains), noe_model))
    options = ["--from", "run/" + filename, "--chain", "A", "--model", "1", "--residues",
               "%d-%d" % (structure.helix or (first, last))]
    if built:
        options = ["--sequence", built[0], "--first", str(built[1])]
    if refine:
        options.append("--refine")
    if supercoil:
        options.append("--supercoil")
    if threads:
        options += ["--threads", str(threads)]
    example = (name, None, filename, (first, last), options)
    return run_commands(build, example, seed, top, len(lines))


def run_real_subset(build, structure, source, restraints, seed, top, noe_model, built=None, refine=False,
                    supercoil=False):
    return run_real(build, structure, source, real_subset(restraints, seed), seed, top, noe_model, built, refine,
                    supercoil)


def run_commands(build, example, seed, top, count):
    name, _, deposited, (first, last), options = example
    run = os.path.join(top, "run")
    param = "run/%s.param" % name
    start = time.monotonic()
    for command in ([os.path.join(build, "noebundle-search"), param] + options,
                    [os.path.join(build, "noebundle"), param]):
        done = subprocess.run(command, cwd=top, capture_output=True, text=True)
        if done.returncode != 0:
            raise SystemExit("%s failed on seed %d: %s" % (command[0], seed, done.stdout))
        if command[0].endswith("-search"):
            with open(os.path.join(top, "search.txt"), "w") as f:  # its summary, for bench/helix_ideas.py
                f.write(done.stdout)
    seconds = time.monotonic() - start
    value = rmsd(model_cas(os.path.join(run, name + "_1.pdb"), first, last),
                 deposited_cas(os.path.join(run, deposited), first, last))
    return count, value, seconds


def run_deltas(top, name):
    """Delta of each structure, best first, from the run's log."""
    with open(os.path.join(top, "run", name + ".log")) as f:
        return [float(x) for x in re.findall(r"^\s+\d+\s+([\d.]+)$", f.read(), re.M)]


def nearest_kept(top, name, deposited, first, last):
    """The smallest CA RMSD of the structures written by run_commands, its rank, and how many
    structures share structure 1's Delta, of how many."""
    run = os.path.join(top, "run")
    target = deposited_cas(os.path.join(run, deposited), first, last)
    values = []
    while os.path.exists(os.path.join(run, "%s_%d.pdb" % (name, len(values) + 1))):
        values.append(rmsd(model_cas(os.path.join(run, "%s_%d.pdb" % (name, len(values) + 1)), first, last), target))
    best = min(range(len(values)), key=values.__getitem__)
    deltas = run_deltas(top, name)
    return values[best], best + 1, deltas.count(deltas[0]), len(deltas)


def run_subset(build, example, restraints, seed, top):
    name, folder, deposited, (first, last), options = example
    rng = random.Random(seed)
    chosen = rng.sample(restraints, rng.randint(4, 12))
    run = os.path.join(top, "run")
    shutil.rmtree(run, ignore_errors=True)
    shutil.copytree(os.path.join(ROOT, "examples", folder), run)
    with open(os.path.join(run, name + ".noe"), "w") as f:
        f.write("".join(chosen))
    return run_commands(build, example, seed, top, len(chosen))


def counts(values, good):
    """Subsets under good (and under GOOD when good is larger), and the median, in words."""
    under = sum(v < good for v in values)
    text = "%d of %d subsets under %.1f A (%.0f%%)" % (under, len(values), good, 100.0 * under / len(values))
    if good > GOOD:
        text += ", %d under %.1f A" % (sum(v < GOOD for v in values), GOOD)
    return text + ", median CA RMSD %.2f A" % statistics.median(values)


def summary(name, values, bad, seconds, extra="", good=GOOD):
    print("%s: %s, worst %.2f A, %.1f s a subset%s" % (name, counts(values, good), max(values),
                                                      seconds / len(values), extra))
    for line in bad:
        print("  above: " + line)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build", nargs="?", default=os.path.join(ROOT, "build"))
    ap.add_argument("--subsets", type=int, help="seeds, each a random subset (default 100; 12 with --calibrate)")
    ap.add_argument("--first-seed", type=int, default=1)
    ap.add_argument("--real", action="store_true", help="every inter-chain proton pair under 5 A")
    ap.add_argument("--sequence", action="store_true", help="with --real: the helix built from the sequence")
    ap.add_argument("--refine", action="store_true", help="with --real: noebundle-search --refine")
    ap.add_argument("--supercoil", action="store_true", help="with --real: noebundle-search --supercoil")
    ap.add_argument("--noe-model", choices=["window", "upper", "reach"], default="upper")
    ap.add_argument("--kept", action="store_true", help="for each miss, the nearest of all structures written")
    ap.add_argument("--data", default=os.path.join(ROOT, "..", "shared", "data", "real"))
    ap.add_argument("--pool", nargs="?", const=POOL, metavar="DIR",
                    help="with --real: also the structures of DIR/cases.json (default %(const)s)")
    ap.add_argument("--calibrate", action="store_true",
                    help="how well the verdict tells right from wrong, on real lists of the four and the pool")
    ap.add_argument("--jobs", type=int, choices=[1, 2], default=2, help="with --calibrate: runs at a time")
    o = ap.parse_args()
    build = os.path.abspath(o.build)
    if o.calibrate:
        for flag in ("real", "sequence", "refine", "supercoil", "kept"):
            if getattr(o, flag):
                ap.error("--calibrate searches real lists with built helices, --refine and --supercoil: no --%s" % flag)
        import calibration  # only here: it reads with this file's readers
        calibration.calibrate(build, REAL + pool_structures(o.pool or POOL), o.data, o.first_seed,
                              o.subsets or 12, o.jobs, o.noe_model)
        return
    for flag in ("sequence", "refine", "supercoil", "pool"):
        if getattr(o, flag) and not o.real:
            ap.error("--%s goes with --real" % flag)
    subsets = o.subsets or 100
    good = 2.0 if o.sequence else GOOD
    everything, by_name, nearest = [], {}, {}
    for item in (REAL + (pool_structures(o.pool) if o.pool else []) if o.real else EXAMPLES):
        name = item[0]
        if o.real:
            source = source_of(item, o.data)
            restraints, across = real_list(source, item.chains, *item.residues)
            extra = "; %d restraints in the list, %d of them between chains that are no neighbours" % (
                len(restraints), across)
            built = chain_sequence(source, item.chains[0], item.helix) if o.sequence else None
        else:
            with open(os.path.join(ROOT, "examples", item[1], name + ".noe")) as f:
                restraints = [line for line in f if line.strip()]
            extra = ""
        values, bad, seconds = [], [], 0.0
        with tempfile.TemporaryDirectory() as top:
            for seed in range(o.first_seed, o.first_seed + subsets):
                if o.real:
                    count, value, spent = run_real_subset(build, item, source, restraints, seed, top, o.noe_model,
                                                           built, o.refine, o.supercoil)
                else:
                    count, value, spent = run_subset(build, item, restraints, seed, top)
                values.append(value)
                seconds += spent
                if o.kept:
                    found = nearest_kept(top, name, item[1] if o.real else item[2], *item[3])
                    nearest.setdefault(name, []).append(found[0])
                if value >= good:
                    bad.append("seed %d (%d restraints): %.2f A" % (seed, count, value))
                    if o.kept:
                        bad[-1] += "; nearest kept %.2f A at rank %d; %d of %d tie with structure 1's Delta" % found
        everything += values
        by_name[name] = values
        if o.kept:  # what the best order of the kept structures could give
            extra += "; nearest kept: %s" % counts(nearest[name], good)
        summary(name, values, bad, seconds, extra, good)
    if o.real:
        for set_name, names in SETS.items():
            values = [v for name in names for v in by_name.get(name, [])]
            if o.pool and values:
                print("%s set (%s): %s" % (set_name, ", ".join(names), counts(values, good)))
                if o.kept:
                    print("  nearest kept: %s" % counts([v for name in names for v in nearest.get(name, [])], good))
        print("all: %s (noeModel=%s%s)" % (counts(everything, good), o.noe_model,
                                           (", --refine" if o.refine else "") + (", --supercoil" if o.supercoil else "")))


if __name__ == "__main__":
    main()
