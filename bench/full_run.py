#!/usr/bin/env python3
"""Times a full noebundle run against the I/O floor of the same files.

Usage: full_run.py BUILD_DIR [--pairs 7] [--where both|disk|memory]
                   [workload options of workload.py]

Makes the workload twice: on the disk, in a folder under BUILD_DIR, and in
memory, under /dev/shm (where the floor is only the page-cache copy, so the
program's own cost shows). In each place it times PAIRS interleaved pairs:
a full run, then io_floor writing the bytes that run wrote. Every timed
trial starts from the same state: the structure files and the log removed,
the candidate file as generated, and the disk synced, so that both sides
create the same new files and no writeback of an earlier trial runs into
it. Prints the minimum (the figure noise touches least) and the median of
each side, and the ratio of the minima and of the medians.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def take_option(rest, name, default):
    if name not in rest:
        return default
    i = rest.index(name)
    value = rest[i + 1]
    del rest[i:i + 2]
    return value


def measure(top, exe, floor, pairs, workload_args):
    """Returns (file count, bytes, full-run seconds, floor seconds) for the workload made under top."""
    work = os.path.join(top, "work")
    subprocess.run([sys.executable, os.path.join(HERE, "workload.py"), work] + workload_args, check=True)
    original = os.path.join(top, "work.cs")
    shutil.copy(os.path.join(work, "work.cs"), original)

    def reset():
        for name in os.listdir(work):
            if name.startswith("work_") or name == "work.log":
                os.remove(os.path.join(work, name))
        shutil.copy(original, os.path.join(work, "work.cs"))
        subprocess.run(["sync"], check=True)

    def timed_run():
        reset()
        start = time.perf_counter()
        subprocess.run([exe, os.path.join(work, "work.param")], check=True, stdout=subprocess.DEVNULL)
        return time.perf_counter() - start

    timed_run()  # warm-up; its files are the bytes the floor writes
    outputs = sorted(f for f in os.listdir(work) if f.startswith("work_") or f == "work.cs")
    size = sum(os.path.getsize(os.path.join(work, f)) for f in outputs)
    kept = os.path.join(top, "kept")
    shutil.copytree(work, kept)

    def timed_floor():
        reset()
        out = subprocess.run([floor, kept, work] + outputs, check=True, capture_output=True, text=True).stdout
        return float(out)

    full, floors = [], []
    for _ in range(pairs):  # interleaved, so that both sides see the machine in the same state
        full.append(timed_run())
        floors.append(timed_floor())
    return len(outputs), size, full, floors


def report(label, pairs, count, size, full, floors):
    lo_run, lo_floor = min(full), min(floors)
    med_run, med_floor = statistics.median(full), statistics.median(floors)
    print("-- %s: %d files (%.1f MB), %d interleaved pairs, each after a sync" % (label, count, size / 1e6, pairs))
    print("full run           min %.3f s   median %.3f s" % (lo_run, med_run))
    print("I/O floor          min %.3f s   median %.3f s" % (lo_floor, med_floor))
    print("ratio              of minima %.2f   of medians %.2f" % (lo_run / lo_floor, med_run / med_floor))


def main():
    build, rest = sys.argv[1], sys.argv[2:]
    pairs = int(take_option(rest, "--pairs", "7"))
    where = take_option(rest, "--where", "both")
    exe, floor = os.path.join(build, "noebundle"), os.path.join(build, "bench", "io_floor")
    places = []
    if where in ("both", "disk"):
        places.append(("on the disk", os.path.abspath(build)))
    if where in ("both", "memory"):
        places.append(("in memory (/dev/shm)", "/dev/shm"))
    for label, parent in places:
        with tempfile.TemporaryDirectory(prefix="full_run.", dir=parent) as top:
            report(label, pairs, *measure(top, exe, floor, pairs, rest))


if __name__ == "__main__":
    main()
