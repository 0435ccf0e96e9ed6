#!/usr/bin/env python3
"""report.html of noebundle-analyze, opened in headless Chromium.

Usage: check_report_page.py BUILD_DIR EXAMPLE_DIR [SCREENSHOT.png]

bm2-prepared: ranked by noebundle, analysed with --reference, no landscape.
gpa: searched by noebundle-search with --map, ranked, analysed without a
reference. In each case the page must be under 2 MB, say what is missing,
draw a 3D picture of many colours with no script error, and show another
picture after structure 2 is chosen through the page's own control (the
address report.html#structure=2 sets the selection list and fires its
change event). Exits 77 (skipped) when Chromium is not installed.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops

from support import run

FLAGS = ["--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--window-size=1280,1000", "--hide-scrollbars", "--virtual-time-budget=15000"]


def browse(chromium, page, state, output):
    """The page's DOM after its scripts ran, and its screenshot in output."""
    address = "file://" + page + ("#structure=%d" % state if state > 1 else "")
    dom = subprocess.run([chromium] + FLAGS + ["--dump-dom", address], capture_output=True, text=True,
                         timeout=180).stdout
    subprocess.run([chromium] + FLAGS + ["--screenshot=" + output, address], capture_output=True, timeout=180)
    body = re.search(r"<body([^>]*)>", dom)
    assert body, dom[:2000]
    assert 'data-errors' not in dom.split("<head>", 1)[0], re.search(r'<pre id="errors"[^>]*>([^<]*)', dom).group(1)
    assert re.search(r'<pre id="errors" hidden="">\s*</pre>', dom), "the page logged an error"
    assert ('data-shown="%d"' % state) in body.group(1), body.group(1)
    box = [int(v) for v in re.search(r'data-viewer-box="([\d,]+)"', body.group(1)).group(1).split(",")]
    return dom, box


def viewer_picture(png, box):
    left, top, width, height = box
    return Image.open(png).convert("RGB").crop((left + 2, top + 2, left + width - 2, top + height - 2))


def check(chromium, page, work, landscape, reference, screenshot):
    size = os.path.getsize(page)
    assert size < 2 * 1024 * 1024, size
    dom, box = browse(chromium, page, 1, os.path.join(work, "one.png"))
    assert ("no score landscape" in dom) != landscape, "landscape"
    assert ("No reference structure was given" in dom) != reference, "reference"
    assert 'id="verdict"' in dom and "Cross peaks that would decide" in dom, "verdict"
    first = viewer_picture(os.path.join(work, "one.png"), box)
    colours = len(set(first.getdata()))
    assert colours > 200, "the 3D canvas is blank or nearly: %d colours" % colours
    _, box2 = browse(chromium, page, 2, os.path.join(work, "two.png"))
    second = viewer_picture(os.path.join(work, "two.png"), box2)
    changed = sum(1 for p in ImageChops.difference(first, second).getdata() if max(p) > 16)
    assert changed > 0.01 * box[2] * box[3], "structure 2 looks like structure 1: %d pixels changed" % changed
    if screenshot:
        shutil.copy(os.path.join(work, "one.png"), screenshot)
    return size, colours, changed


def main():
    build, example = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    screenshot = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    chromium = shutil.which("chromium")
    if not chromium:
        print("SKIPPED: chromium is not installed (.ci/install installs it); report.html not opened")
        sys.exit(77)
    name = os.path.basename(example)
    with tempfile.TemporaryDirectory() as top:
        shutil.copytree(example, os.path.join(top, "run"))
        os.symlink(build, os.path.join(top, "build"))  # run as the README does, ./build/PROGRAM: the page shows the command
        if name == "gpa":
            run(".", top, "build/noebundle-search", "run/gpa.param", "--from", "run/1afo.pdb", "--chain", "A", "--model", "1",
                "--residues", "70-95", "--map", "run/landscape.svg")
            run(".", top, "build/noebundle", "run/gpa.param")
            run(".", top, "build/noebundle-analyze", "run/gpa.param")
        else:
            run(".", top, "build/noebundle", "run/bm2.param")
            run(".", top, "build/noebundle-analyze", "run/bm2.param", "--reference", "run/2kix_model1.pdb", "--residues", "5-30")
        page = os.path.join(top, "run", "analysis", "report.html")
        size, colours, changed = check(chromium, page, top, name == "gpa", name != "gpa", screenshot)
    print("report.html of %s: %d bytes, %d colours in the 3D view, %d pixels changed for structure 2"
          % (name, size, colours, changed))


if __name__ == "__main__":
    main()
