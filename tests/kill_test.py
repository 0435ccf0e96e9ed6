#!/usr/bin/env python3
# Kills noebundle with SIGKILL and SIGINT at random moments of a run and
# checks what it leaves: the candidate file is the original or the complete
# ranked one, byte for byte, every structure file under its own name is
# complete and of the candidate file's run (none with the original one);
# after SIGINT the folder is as before or complete, with no temporary file.
# Then interrupts noebundle-search (beside it) with SIGINT and SIGKILL during
# a --chain B --force search after a chain A one: the folder is as it was or
# as the complete search leaves it, SIGINT leaves no temporary file and a
# clean terminal line, and the next search removes what SIGKILL left. A whole
# search with two threads draws its progress bar to 100% and ends the line.
#
# Usage: kill_test.py NOEBUNDLE [KILLS_PER_WORKLOAD]
import os
import pty
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = os.path.dirname(os.path.abspath(__file__))


def trials(exe, top, label, workload, kills, rng):
    """Runs the workload once whole, then kills it KILLS times at random
    moments of a run, with SIGKILL and SIGINT in turn."""
    work = os.path.join(top, label)
    subprocess.run([sys.executable, os.path.join(HERE, "..", "bench", "workload.py"), work] + workload, check=True)
    original = Path(work, "work.cs").read_bytes()
    param = os.path.join(work, "work.param")

    def reset():  # also the temporary files a SIGKILL left; the run removes them too
        for name in os.listdir(work):
            if name.startswith("work_") or name == "work.log" or name.endswith(".tmp"):
                os.remove(os.path.join(work, name))
        Path(work, "work.cs").write_bytes(original)

    # A complete run gives the reference bytes and the length of a run.
    reset()
    start = time.perf_counter()
    subprocess.run([exe, param], check=True, stdout=subprocess.DEVNULL)
    duration = time.perf_counter() - start
    ranked = Path(work, "work.cs").read_bytes()
    reference = {name: Path(work, name).read_bytes() for name in os.listdir(work) if name.startswith("work_")}
    assert ranked != original

    seen = {"original": 0, "ranked": 0, "structures": 0}
    for trial in range(kills):
        reset()
        process = subprocess.Popen([exe, param], stdout=subprocess.DEVNULL)
        time.sleep(rng.uniform(0, 1.1) * duration)
        sig = signal.SIGKILL if trial % 2 == 0 else signal.SIGINT
        process.send_signal(sig)
        process.wait()
        cs = Path(work, "work.cs").read_bytes()
        if cs == original:
            seen["original"] += 1
        elif cs == ranked:
            seen["ranked"] += 1
        else:
            sys.exit("%s, kill %d: the candidate file is neither the original nor the ranked one" % (label, trial))
        names = os.listdir(work)
        structures = [name for name in names if name.startswith("work_") and name.endswith(".pdb")]
        for name in structures:  # temporary files end in .tmp
            seen["structures"] += 1
            if Path(work, name).read_bytes() != reference.get(name):
                sys.exit("%s, kill %d: %s is not a complete structure file" % (label, trial, name))
        if cs == original and structures:
            sys.exit("%s, kill %d: structure files beside the original candidate file" % (label, trial))
        if sig == signal.SIGINT and (any(n.endswith(".tmp") for n in names) or
                                     (cs == ranked and len(structures) != len(reference))):
            sys.exit("%s, SIGINT %d: the folder is neither as before nor complete: %s" % (label, trial, [n for n in names if n.endswith(".tmp")][:3] + [len(structures), cs == ranked]))
    print("%s: %d kills; candidate file original %d times, ranked %d times; %d structure files, all complete"
          % (label, kills, seen["original"], seen["ranked"], seen["structures"]))


def snapshot(folder):
    # The log aside: the search heads it, dated, once its files are in place.
    return {name: Path(folder, name).read_bytes() for name in os.listdir(folder) if not name.endswith(".log")}


def restore(folder, files):
    shutil.rmtree(folder)
    os.makedirs(folder)
    for name, data in files.items():
        Path(folder, name).write_bytes(data)


def search_on_terminal(command, cwd, kill_after=None, sig=signal.SIGINT):
    """Runs the search with standard error on a terminal; returns what it drew."""
    master, slave = pty.openpty()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=slave)
    os.close(slave)
    if kill_after is not None:
        time.sleep(kill_after)
        process.send_signal(sig)
    drawn = b""
    try:
        while chunk := os.read(master, 4096):
            drawn += chunk
    except OSError:  # the terminal closed with the process
        pass
    process.wait()
    os.close(master)
    return drawn


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    return True


def interrupted_searches(search, top, kills, rng):
    folder = os.path.join(top, "search", "run")
    shutil.copytree(os.path.join(HERE, "..", "examples", "bm2"), folder)
    chain = [search, "run/bm2.param", "--from", "run/2kix_model1.pdb", "--force", "--threads", "2", "--chain"]
    cwd = os.path.dirname(folder)
    subprocess.run(chain + ["A"], cwd=cwd, check=True, stdout=subprocess.DEVNULL)
    before = snapshot(folder)
    start = time.perf_counter()
    drawn = search_on_terminal(chain + ["B"], cwd)
    duration = time.perf_counter() - start
    after = snapshot(folder)
    if b"100%" not in drawn or not drawn.endswith(b"\n"):
        sys.exit("search: the progress bar ends as %r" % drawn[-80:])
    seen = {"as before": 0, "complete": 0}
    for trial in range(2 * kills):
        restore(folder, before)
        sig = signal.SIGINT if trial % 2 == 0 else signal.SIGKILL
        drawn = search_on_terminal(chain + ["B"], cwd, rng.uniform(0, 1.1) * duration, sig)
        now = snapshot(folder)
        left = [name for name in now if name.endswith(".tmp")]
        now = {name: data for name, data in now.items() if name not in left}
        state = "as before" if now == before else "complete" if now == after else None
        if state is None:
            sys.exit("search, %s %d: the folder is neither as before nor complete" % (sig.name, trial))
        seen[state] += 1
        if sig == signal.SIGINT and (left or (drawn and not drawn.endswith((b"\r", b"\n")))):
            sys.exit("search, SIGINT %d: left %s and the terminal line %r" % (trial, left, drawn[-80:]))
        if left:
            subprocess.run([search, "run/bm2.param", "--angle-step", "90", "--force"], cwd=cwd, stdout=subprocess.DEVNULL)
            # NAME.PID.tmp stays only while a process of that number lives (PIDs wrap on a busy machine).
            if any(name.endswith(".tmp") and not alive(int(name.split(".")[-2])) for name in os.listdir(folder)):
                sys.exit("search, SIGKILL %d: the next search left the dead one's temporary files" % trial)
    print("search: %d interrupts; folder as before %d times, complete %d times" % (2 * kills, seen["as before"], seen["complete"]))


def main():
    exe, kills = os.path.abspath(sys.argv[1]), int(sys.argv[2]) if len(sys.argv) > 2 else 30
    rng = random.Random(1)
    with tempfile.TemporaryDirectory() as top:
        # Large structure files: kills land while they are written.
        trials(exe, top, "structures", ["--candidates", "300", "--protomers", "5"], kills, rng)
        search = os.path.join(os.path.dirname(exe), "noebundle-search")
        if os.path.exists(search):
            interrupted_searches(search, top, max(kills // 3, 4), rng)


if __name__ == "__main__":
    main()
