#!/usr/bin/env python3
# Kills noebundle with SIGKILL at random moments of a run and checks what it
# leaves: the candidate file is the original or the complete ranked one, byte
# for byte, and every structure file under its own name is complete.
# Usage: kill_test.py NOEBUNDLE [KILLS_PER_WORKLOAD]
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


def trials(exe, work, workload, kills, rng, ranking_only=False):
    # With ranking_only the template is taken away, so that runs end with an
    # error right after the candidate file is rewritten; kills land around then.
    subprocess.run([sys.executable, os.path.join(HERE, "..", "bench", "workload.py"), work] + workload, check=True)
    if ranking_only:
        os.remove(os.path.join(work, "origin.pdb"))
    path = lambda name: os.path.join(work, name)
    original = read(path("work.cs"))

    def run(kill_after=None):
        for name in os.listdir(work):
            if name.startswith("work_") or name == "work.log":
                os.remove(path(name))
        with open(path("work.cs"), "wb") as f:
            f.write(original)
        process = subprocess.Popen([exe, path("work.param")], stdout=subprocess.DEVNULL)
        if kill_after is not None:
            time.sleep(kill_after)
            process.send_signal(signal.SIGKILL)
        process.wait()
        return {name: read(path(name)) for name in os.listdir(work) if name.startswith("work_") and name.endswith(".pdb")}

    start = time.perf_counter()
    reference = run()  # a complete run: the reference bytes and the length of a run
    duration, ranked = time.perf_counter() - start, read(path("work.cs"))
    assert ranked != original
    seen = {original: 0, ranked: 0}
    for trial in range(kills):
        structures = run(rng.uniform(0.6 if ranking_only else 0, 1.2 if ranking_only else 1.1) * duration)
        cs = read(path("work.cs"))  # structure files being written end in .tmp
        assert cs in seen, "%s, kill %d: the candidate file is neither the original nor the ranked one" % (work, trial)
        seen[cs] += 1
        for name, data in structures.items():
            assert data == reference.get(name), "%s, kill %d: %s is not a complete structure file" % (work, trial, name)
    print("%s: %d kills; candidate file original %d times, ranked %d times" % (work, kills, seen[original], seen[ranked]))


EXE, KILLS = os.path.abspath(sys.argv[1]), int(sys.argv[2]) if len(sys.argv) > 2 else 30
RNG = random.Random(1)
with tempfile.TemporaryDirectory() as top:
    # Large structure files: kills land while they are written.
    trials(EXE, os.path.join(top, "structures"), ["--candidates", "300", "--protomers", "5"], KILLS, RNG)
    trials(EXE, os.path.join(top, "ranking"), ["--candidates", "300000", "--protomers", "3"], KILLS, RNG, True)
