#!/usr/bin/env python3
# Runs every case of this catalogue of bad inputs.
# Usage: run_cases.py BUILD_DIR
#
# Each folder beside base/ is a case: the files of base/ (a working run),
# overridden by the case's own files, then changed as its case.json says:
# "remove" (files to delete), "mkdir" (names that become folders), "program"
# (default "noebundle", found in BUILD_DIR), "args" (default ["run.param"]).
# case.json also states the expected "status" and "first" line of standard
# output; "changes" lists the inputs the run may rewrite. Every other input
# must keep its bytes, and nothing may reach standard error.
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def checksums(folder):
    paths = {name: os.path.join(folder, name) for name in os.listdir(folder)}
    return {name: hashlib.sha256(open(path, "rb").read()).hexdigest() for name, path in paths.items() if os.path.isfile(path)}


def run_case(build, name):
    case = os.path.join(HERE, name)
    description = json.load(open(os.path.join(case, "case.json")))
    with tempfile.TemporaryDirectory() as top:
        work = os.path.join(top, "work")
        shutil.copytree(os.path.join(HERE, "base"), work)
        for entry in set(os.listdir(case)) - {"case.json"}:
            shutil.copy(os.path.join(case, entry), work)
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
    first = result.stdout.decode("latin-1").split("\n", 1)[0]
    checks = [(result.returncode == description["status"], "exit status %d, expected %d" % (result.returncode, description["status"])),
              (first == description["first"], "first line %r, expected %r" % (first, description["first"])),
              (not result.stderr, "standard error: %r" % result.stderr[:200]),
              (not [name for name in after if name.endswith(".tmp")], "a temporary file is left")]
    checks += [(name in description.get("changes", []) or after.get(name) == digest, "input %s changed" % name)
               for name, digest in before.items()]
    return [problem for fine, problem in checks if not fine]


def main():
    cases = sorted(d for d in os.listdir(HERE) if os.path.isfile(os.path.join(HERE, d, "case.json")))
    failed = 0
    for name in cases:
        problems = run_case(os.path.abspath(sys.argv[1]), name)
        if problems:
            failed += 1
            print("FAIL %s: %s" % (name, "; ".join(problems)))
    print("%d bad-input cases: %d passed, %d failed" % (len(cases), len(cases) - failed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
