#!/usr/bin/env python3
# Runs every case of this catalogue of bad inputs.
#
# Usage: run_cases.py BUILD_DIR
#
# Each folder beside base/ is a case: the files of base/ (a working run),
# overridden by the case's own files, then changed as its case.json says:
# "remove" (files to delete), "mkdir" (names that become folders), "program"
# (default "noebundle", found in BUILD_DIR), "args" (default ["run.param"]),
# "write" (name: text, after "mkdir"), "symlink" (name: target), "mode" (name: octal mode, "." the folder; run
# as an ordinary user when the driver is root, since root reads and writes
# any file), "stdout" (a file standard output goes to, e.g. /dev/full),
# "file_size_limit" (bytes a written file may reach, as on a full disk),
# "locked" (another process holds the folder's lock). case.json also states
# the expected "status" and "first" line of standard output, and optionally
# its "last" line (an error after an accounting); "changes" lists
# the inputs the run may rewrite. Every other input must keep its bytes,
# nothing may reach standard error, and no temporary file (*.tmp) may be
# left that was not there before, nor any new file after a failure but those "made" lists; "absent" lists files that must be gone
# after the run and "backups" (backup: original) the backups that must
# hold an input's former bytes.
import fcntl
import resource
import signal
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = os.path.dirname(os.path.abspath(__file__))


def checksums(folder):
    paths = [os.path.join(top, name) for top, _, names in os.walk(folder) for name in names]
    return {os.path.relpath(path, folder): hashlib.sha256(Path(path).read_bytes()).hexdigest()
            for path in paths if os.path.isfile(path) and not os.path.islink(path)}


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
        for entry, text in description.get("write", {}).items():
            Path(work, entry).write_text(text)
        for entry, target in description.get("symlink", {}).items():
            os.symlink(target, os.path.join(work, entry))
        before = checksums(work)
        names = set(before) | set(os.listdir(work))
        command = [os.path.join(build, description.get("program", "noebundle"))] + description.get("args", ["run.param"])
        if description.get("mode") and os.geteuid() == 0:
            # An ordinary user, for whom the modes count.
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
            os.chmod(top, 0o755)
            os.chmod(work, 0o777)
            for entry in os.listdir(work):
                os.chmod(os.path.join(work, entry), 0o666)
        for entry, mode in description.get("mode", {}).items():
            os.chmod(os.path.join(work, entry), int(mode, 8))
        limit = description.get("file_size_limit")

        def limits():
            if limit is not None:  # a write past the limit then fails as on a full disk
                signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        lock = os.open(work, os.O_RDONLY)
        if description.get("locked"):
            fcntl.flock(lock, fcntl.LOCK_EX)
        stdout = open(description["stdout"], "wb") if "stdout" in description else subprocess.PIPE
        result = subprocess.run(command, cwd=work, stdout=stdout, stderr=subprocess.PIPE, timeout=120, preexec_fn=limits)
        os.close(lock)
        os.chmod(work, 0o755)
        after = checksums(work)
        left = set(os.listdir(work))
        made = set(after) - names
    problems = []
    out = (result.stdout or b"").decode("utf-8", "replace")
    first = out.split("\n", 1)[0]
    if result.returncode != description["status"]:
        problems.append("exit status %d, expected %d" % (result.returncode, description["status"]))
    if first != description["first"]:
        problems.append("first line %r, expected %r" % (first, description["first"]))
    last = out.rstrip("\n").rsplit("\n", 1)[-1]
    if "last" in description and last != description["last"]:
        problems.append("last line %r, expected %r" % (last, description["last"]))
    if result.stderr:
        problems.append("standard error: %r" % result.stderr[:200])
    for entry, digest in before.items():
        if entry not in description.get("changes", []) + description.get("absent", []) and after.get(entry) != digest:
            problems.append("input %s changed" % entry)
    for entry in sorted(left):
        if entry.endswith(".tmp") and entry not in before:
            problems.append("temporary file %s left" % entry)
    made -= set(description.get("made", []))
    if result.returncode != 0 and made:
        problems.append("new files after a failure: %s" % sorted(made)[:5])
    for entry in description.get("absent", []):
        if entry in left:
            problems.append("%s is still there" % entry)
    for backup, original in description.get("backups", {}).items():
        if after.get(backup) != before.get(original):
            problems.append("%s does not hold the former %s" % (backup, original))
    return problems


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
