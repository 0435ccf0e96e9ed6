"""How well the analysis's verdict tells a right bundle from a wrong one, on
real lists (recovery.py --calibrate): every inter-chain proton pair under
5 A of each deposited oligomer, the helix built from the sequence, searched
with --refine --supercoil, noeModel=upper (or as --noe-model says); random subsets of 5 to 12 lines
and the full list. For each run: whether the analysis calls the bundle
decided (analysis/verdict.json), whether structure 1 lies under 2.0 A CA
RMSD from the deposited oligomer, whether the deposited oligomer lies
within 2.0 A of a cluster's representative (analysis/clusters.pdb), and,
for runs undecided or over 2.0 A, the loop a user would close: the run
again with those of the three best suggested cross peaks that the
deposited structure shows (protons under 5 A on two chains) added.
"""
import json
import math
import multiprocessing
import os
import random
import subprocess
import tempfile

import gemmi

import recovery

GOOD = 2.0
TOP = 3  # suggested cross peaks a user would measure


def full_list(restraints):
    """Every line: under the upper model a run takes the whole list."""
    return list(restraints)


def analyze(build, top, name):
    done = subprocess.run([os.path.join(build, "noebundle-analyze"), "run/%s.param" % name], cwd=top,
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError("noebundle-analyze failed: %s" % done.stdout)


def read_verdict(run):
    path = os.path.join(run, "analysis", "verdict.json")
    if not os.path.exists(path):
        raise RuntimeError("noebundle-analyze wrote no verdict.json: build a version that does")
    with open(path) as f:
        return json.load(f)


def nearest_cluster(run, deposited, first, last):
    """The smallest CA RMSD of the deposited oligomer to a cluster's representative."""
    models = gemmi.read_structure(os.path.join(run, "analysis", "clusters.pdb"))
    return min(recovery.rmsd(recovery.oligomer_cas(model, first, last), deposited) for model in models)


def protons(residue, name):
    """Positions of the protons a restraint's name stands for in a deposited residue: the atom of that
    name, else those whose names begin with it (HG2 for HG21-HG23), else those of its class (HN for H)."""
    hydrogens = [a for a in residue if a.is_hydrogen()]
    for match in (lambda a: a.name == name, lambda a: a.name.startswith(name.rstrip("#*%")),
                  lambda a: recovery.proton_class(a.name) == name):
        found = [a.pos for a in hydrogens if match(a)]
        if found:
            return found
    return []


def deposited_distance(model, suggestion):
    """The shortest distance in the deposited model between the suggestion's two protons on two chains."""
    def positions(chain, number, name):
        return [p for r in chain if r.seqid.num == number for p in protons(r, name)]
    best = math.inf
    for one in model:
        for other in model:
            if one.name != other.name:
                for p in positions(one, suggestion["residue1"], suggestion["proton1"]):
                    for q in positions(other, suggestion["residue2"], suggestion["proton2"]):
                        best = min(best, p.dist(q))
    return best


def seen_suggestions(verdict, model):
    """The lines of the best TOP suggested cross peaks that the deposited model would show."""
    return [s["line"].rstrip("\n") + "\n" for s in verdict.get("suggested", [])[:TOP]
            if deposited_distance(model, s) < recovery.NEAR]


def one_run(task):
    """Search, run and analyse one list; then close the loop when the verdict or structure 1 asks."""
    build, structure, source, lines, seed, built, noe_model, threads = task
    first, last = structure.residues
    try:
        with tempfile.TemporaryDirectory() as top:
            run = os.path.join(top, "run")
            search = lambda listed: recovery.run_real(build, structure, source, listed, seed or 0, top, noe_model, built,
                                                      True, True, threads)
            count, value, seconds = search(lines)
            analyze(build, top, structure.name)
            verdict = read_verdict(run)
            deposited = recovery.deposited_cas(source, first, last)
            record = {"name": structure.name, "seed": seed, "count": count, "rmsd": value, "seconds": seconds,
                      "decided": bool(verdict["decided"]), "clusters": len(verdict["clusters"]),
                      "nearest": nearest_cluster(run, deposited, first, last), "added": None, "loop": None}
            if not record["decided"] or value >= GOOD:
                added = seen_suggestions(verdict, gemmi.read_structure(source)[0])
                record["added"] = len(added)
                record["loop"] = search(lines + added)[1] if added else value
            return record
    except SystemExit as e:  # a pool's worker must not exit
        raise RuntimeError(str(e))


def share(k, n):
    return "%d of %d (%.0f%%)" % (k, n, 100.0 * k / n) if n else "%d of 0" % k


def figures(records):
    """The calibration's figures, each as its text."""
    decided = [r for r in records if r["decided"]]
    over = [r for r in records if r["rmsd"] >= GOOD]
    kept = [r for r in records if not r["decided"] and r["rmsd"] < GOOD]
    return [
        "%d runs, decided %s" % (len(records), share(len(decided), len(records))),
        "of decided, structure 1 under %.1f A: %s (target 95%%)" % (GOOD, share(
            sum(r["rmsd"] < GOOD for r in decided), len(decided))),
        "of structure 1 over %.1f A, undecided: %s (target 95%%)" % (GOOD, share(
            sum(not r["decided"] for r in over), len(over))),
        "of structure 1 over %.1f A, the deposited within %.1f A of a cluster: %s (target 90%%)" % (GOOD, GOOD, share(
            sum(r["nearest"] < GOOD for r in over), len(over))),
        "closed loop, of structure 1 over %.1f A, brought under: %s (target a third); undecided under %.1f A "
        "kept under: %s" % (GOOD, share(sum(r["loop"] < GOOD for r in over), len(over)), GOOD,
                             share(sum(r["loop"] < GOOD for r in kept), len(kept))),
    ]


def describe(r):
    text = "%s (%d restraints): %.2f A, %s, %d cluster%s, the deposited %.2f A from the nearest" % (
        "full list" if r["seed"] is None else "seed %d" % r["seed"], r["count"], r["rmsd"],
        "decided" if r["decided"] else "undecided", r["clusters"], "s"[:r["clusters"] != 1], r["nearest"])
    if r["loop"] is not None:
        text += "; %d of the suggested cross peaks seen, then %.2f A" % (r["added"], r["loop"])
    return text


def calibrate(build, structures, data, first_seed, seeds, jobs, noe_model):
    tasks = []
    for structure in structures:
        source = recovery.source_of(structure, data)
        restraints, _ = recovery.real_list(source, structure.chains, *structure.residues)
        built = recovery.chain_sequence(source, structure.chains[0], structure.helix)
        threads = 1 if jobs > 1 else None
        tasks += [(build, structure, source, recovery.real_subset(restraints, seed), seed, built, noe_model, threads)
                  for seed in range(first_seed, first_seed + seeds)]
        tasks.append((build, structure, source, full_list(restraints), None, built, noe_model, threads))
    try:
        if jobs > 1:
            with multiprocessing.get_context("fork").Pool(jobs) as pool:
                records = list(pool.imap(one_run, tasks))  # in order: a failure shows when its turn comes
        else:
            records = [one_run(task) for task in tasks]
    except RuntimeError as e:
        raise SystemExit(str(e))
    print("Calibration: real lists, built helices, --refine --supercoil, noeModel=%s, seeds %d-%d and the full "
          "list, under %.1f A CA RMSD" % (noe_model, first_seed, first_seed + seeds - 1, GOOD))
    for structure in structures:
        mine = [r for r in records if r["name"] == structure.name]
        print("%s (%d copies, %.1f s a search and run):" % (structure.name, len(structure.chains),
                                                sum(r["seconds"] for r in mine) / len(mine)))
        for line in figures(mine):
            print("  " + line)
        for r in mine:
            if r["seed"] is None or r["rmsd"] >= GOOD or not r["decided"]:
                print("    " + describe(r))
    print("all:")
    for line in figures(records):
        print("  " + line)
    full = [r for r in records if r["seed"] is None]
    print("  full lists decided: %s (target half)" % share(sum(r["decided"] for r in full), len(full)))
