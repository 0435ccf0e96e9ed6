"""What the end-to-end checks share: running a program as a user does, and a
scratch copy of a shipped example."""
import os
import shutil
import subprocess

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def run(build, cwd, program, *args):
    """PROGRAM of BUILD_DIR run in CWD; it must succeed and write nothing on standard error. Its output."""
    done = subprocess.run([os.path.join(build, program)] + list(args), cwd=cwd, capture_output=True, text=True)
    assert done.returncode == 0 and not done.stderr, (program, args, done.stdout[-3000:], done.stderr)
    return done.stdout


def shell(build, cwd, command):
    """A command line as the README writes it (./build/PROGRAM ... && ...), with the programs of BUILD_DIR."""
    done = subprocess.run(command.replace("./build/", build + "/"), shell=True, cwd=cwd, capture_output=True, text=True)
    assert done.returncode == 0 and not done.stderr, (command, done.stdout[-3000:], done.stderr)
    return done.stdout


def write(path, text):
    """TEXT written to the file PATH."""
    with open(path, "w") as f:
        f.write(text)


def copy_example(name, top, folder="run"):
    """examples/NAME copied to TOP/FOLDER; that folder."""
    path = os.path.join(top, folder)
    shutil.copytree(os.path.join(ROOT, "examples", name), path)
    return path
