#!/usr/bin/env python3
"""Times a full noebundle run against the I/O floor of the same files.

Usage: full_run.py BUILD_DIR [--runs 11] [workload options of workload.py]

Makes the workload in a temporary folder, runs noebundle on it RUNS times,
then io_floor on the files the run wrote, RUNS times, and prints both
medians and their ratio. Every timed trial starts from the same state: the
structure files and the log removed and the candidate file as generated, so
that both sides create the same new files.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    build, rest = sys.argv[1], sys.argv[2:]
    runs = 11
    if "--runs" in rest:
        i = rest.index("--runs")
        runs = int(rest[i + 1])
        del rest[i:i + 2]
    exe, floor = os.path.join(build, "noebundle"), os.path.join(build, "bench", "io_floor")
    with tempfile.TemporaryDirectory() as top:
        work = os.path.join(top, "work")
        subprocess.run([sys.executable, os.path.join(HERE, "workload.py"), work] + rest, check=True)
        original = os.path.join(top, "work.cs")
        shutil.copy(os.path.join(work, "work.cs"), original)
        def reset():
            for name in os.listdir(work):
                if name.startswith("work_") or name == "work.log":
                    os.remove(os.path.join(work, name))
            shutil.copy(original, os.path.join(work, "work.cs"))
            subprocess.run(["sync"], check=True)  # no writeback of an earlier trial runs into this one

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

        # Interleaved, so that both see the machine in the same state.
        full, floors = [], []
        for _ in range(runs):
            full.append(timed_run())
            floors.append(timed_floor())
    run_s, floor_s = statistics.median(full), statistics.median(floors)
    print("files written      %d (%.1f MB)" % (len(outputs), size / 1e6))
    print("full run           %.3f s (median of %d)" % (run_s, runs))
    print("I/O floor          %.3f s (median of %d)" % (floor_s, runs))
    print("ratio              %.2f" % (run_s / floor_s))


if __name__ == "__main__":
    main()
