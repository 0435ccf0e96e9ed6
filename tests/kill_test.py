#!/usr/bin/env python3
"""Kills noebundle with SIGKILL at random moments of a run and checks what
it leaves: the candidate file is the original or the complete ranked one,
byte for byte, and every structure file under its own name is complete.

Usage: kill_test.py NOEBUNDLE [KILLS_PER_WORKLOAD]
"""
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def trials(exe, top, label, workload, kills, rng, ranking_only=False):
    """Runs the workload once whole, then kills it KILLS times at random
    moments of a run. With ranking_only the template is taken away, so that
    runs end with an error right after the candidate file is rewritten."""
    work = os.path.join(top, label)
    subprocess.run([sys.executable, os.path.join(HERE, "..", "bench", "workload.py"), work] + workload, check=True)
    if ranking_only:
        os.remove(os.path.join(work, "origin.pdb"))
    original = read(os.path.join(work, "work.cs"))
    param = os.path.join(work, "work.param")

    def reset():
        for name in os.listdir(work):
            if name.startswith("work_") or name == "work.log":
                os.remove(os.path.join(work, name))
        with open(os.path.join(work, "work.cs"), "wb") as f:
            f.write(original)

    # A complete run gives the reference bytes and the length of a run.
    reset()
    start = time.perf_counter()
    subprocess.run([exe, param], check=not ranking_only, stdout=subprocess.DEVNULL)
    duration = time.perf_counter() - start
    ranked = read(os.path.join(work, "work.cs"))
    reference = {name: read(os.path.join(work, name)) for name in os.listdir(work) if name.startswith("work_")}
    assert ranked != original

    seen = {"original": 0, "ranked": 0, "structures": 0}
    for trial in range(kills):
        reset()
        process = subprocess.Popen([exe, param], stdout=subprocess.DEVNULL)
        # Around the end for the ranking runs, where the candidate file is rewritten.
        time.sleep(rng.uniform(0.6 if ranking_only else 0, 1.2 if ranking_only else 1.1) * duration)
        process.send_signal(signal.SIGKILL)
        process.wait()
        cs = read(os.path.join(work, "work.cs"))
        if cs == original:
            seen["original"] += 1
        elif cs == ranked:
            seen["ranked"] += 1
        else:
            sys.exit("%s, kill %d: the candidate file is neither the original nor the ranked one" % (label, trial))
        for name in os.listdir(work):
            if name.startswith("work_") and name.endswith(".pdb"):  # temporary files end in .tmp
                seen["structures"] += 1
                if read(os.path.join(work, name)) != reference.get(name):
                    sys.exit("%s, kill %d: %s is not a complete structure file" % (label, trial, name))
    print("%s: %d kills; candidate file original %d times, ranked %d times; %d structure files, all complete"
          % (label, kills, seen["original"], seen["ranked"], seen["structures"]))


def main():
    exe, kills = os.path.abspath(sys.argv[1]), int(sys.argv[2]) if len(sys.argv) > 2 else 30
    rng = random.Random(1)
    with tempfile.TemporaryDirectory() as top:
        # Large structure files: kills land while they are written.
        trials(exe, top, "structures", ["--candidates", "300", "--protomers", "5"], kills, rng)
        # Many candidates and no template: kills land around the rewrite of the candidate file.
        trials(exe, top, "ranking", ["--candidates", "300000", "--protomers", "3"], kills, rng, ranking_only=True)


if __name__ == "__main__":
    main()
