#!/usr/bin/env python3
"""Runs noebundle on every case of this catalogue of bad inputs.

Usage: run_cases.py BUILD_DIR

Each folder beside base/ is a case: the files of base/ (a working run),
overridden by the case's own files, then changed as its case.json says:
"remove" (files to delete), "mkdir" (names that become folders), "program"
(default "noebundle", found in BUILD_DIR), "args" (default ["run.param"]). case.json also states the expected "status" and
"first" line of standard output; "changes" lists the inputs the run may
rewrite. Every other input must keep its bytes, and nothing may reach
standard error.
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def checksums(folder):
    sums = {}
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                sums[name] = hashlib.sha256(f.read()).hexdigest()
    return sums


def run_case(build, name):
    case = os.path.join(HERE, name)
    with open(os.path.join(case, "case.json")) as f:
        description = json.load(f)
    with tempfile.TemporaryDirectory() as top:
        work = os.path.join(top, "work")
        shutil.copytree(os.path.join(HERE, "base"), work)
        for entry in os.listdir(case):
            if entry != "case.json":
                shutil.copy(os.path.join(case, entry), os.path.join(work, entry))
        for entry in description.get("remove", []):
            os.remove(os.path.join(work, entry))
        for entry in description.get("mkdir", []):
            if os.path.exists(os.path.join(work, entry)):
                os.remove(os.path.join(work, entry))
            os.makedirs(os.path.join(work, entry, "inside"))
        before = checksums(work)
        exe = os.path.join(build, description.get("program", "noebundle"))
        result = subprocess.run([exe] + description.get("args", ["run.param"]), cwd=work, capture_output=True, timeout=120)
        after = checksums(work)
    problems = []
    out = result.stdout.decode("latin-1")
    first = out.split("\n", 1)[0]
    if result.returncode != description["status"]:
        problems.append("exit status %d, expected %d" % (result.returncode, description["status"]))
    if first != description["first"]:
        problems.append("first line %r, expected %r" % (first, description["first"]))
    if result.stderr:
        problems.append("standard error: %r" % result.stderr[:200])
    for entry, digest in before.items():
        if entry not in description.get("changes", []) and after.get(entry) != digest:
            problems.append("input %s changed" % entry)
    return problems


def main():
    build = os.path.abspath(sys.argv[1])
    cases = sorted(d for d in os.listdir(HERE) if d != "base" and os.path.isdir(os.path.join(HERE, d)) and d != "__pycache__")
    failed = 0
    for name in cases:
        problems = run_case(build, name)
        if problems:
            failed += 1
            print("FAIL %s: %s" % (name, "; ".join(problems)))
    print("%d bad-input cases: %d passed, %d failed" % (len(cases), len(cases) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
