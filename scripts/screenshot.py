#!/usr/bin/env python3
"""Starts Vantrell under Xvfb on a small demo tree, scans it, and saves screenshots of its
windows for review (not a pixel comparison).
Usage: scripts/screenshot.sh [--dpi N] [out-dir]   (default build/screenshots)
With --dpi the program runs in a Wine prefix set to that screen resolution, and each picture's
name ends in -Ndpi."""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Program, Window, make_file, resolution_prefix, wait_for, win  # noqa: E402

parser = argparse.ArgumentParser()
parser.add_argument("--dpi", type=int, default=0)
parser.add_argument("out", nargs="?", default="build/screenshots")
args = parser.parse_args()
out = os.path.abspath(args.out)
suffix = "-%ddpi" % args.dpi if args.dpi else ""
os.makedirs(out, exist_ok=True)
prefix = None
if args.dpi:
    prefix = resolution_prefix(args.dpi)
    os.environ["WINEPREFIX"] = prefix
program = Program()
try:
    root = os.path.join(program.dir, "Demo")
    for i, name in enumerate(["report.doc", "Archive/2019.zip", "Archive/notes, old.txt",
                              "Logs/app.log", "Logs/app.1.log", "photo.jpg"]):
        make_file(os.path.join(root, name), 40 + 9 * i)
    make_file(os.path.join(root, "today.txt"), 0)
    program.write("Vantrell.ini", b"[Vantrell]\r\nDrivePath=%s\r\n" % win(root).encode())
    window = Window(program)
    window.keys("space")
    wait_for(lambda: program.read("VantrellActivity.log"), 30, "the scan")
    time.sleep(1)
    def shot(name, caption):
        target = os.path.join(out, name + suffix + ".png")
        win_id = wait_for(lambda: (window.dialogs(caption) if caption != "Vantrell" else [window.id]) or None,
                          10, caption)[0]
        time.sleep(1)
        subprocess.run(["import", "-window", win_id, target], check=True)
        print("saved", target)
        return win_id

    shot("main-window", "Vantrell")
    window.keys("alt+h")
    shot("help-window", "Vantrell Help")
    window.keys("alt+c")  # the help window's Close
    time.sleep(0.5)
    window.keys("alt+a")
    shot("about-box", "About...")
    window.keys("Return")
    time.sleep(0.5)
    # The path button never takes the focus: click it (client coordinates, scaled).
    scale = (args.dpi or 96) / 96.0
    subprocess.run(["xdotool", "mousemove", "--window", window.id, str(int(590 * scale)),
                    str(int(70 * scale)), "click", "1"], check=True)
    shot("directory-chooser", "Select Directory")
    window.keys("Escape")
    time.sleep(0.5)
    window.close()
finally:
    program.cleanup()
    if prefix:
        subprocess.run(["wineserver", "-k"], check=False)
        shutil.rmtree(prefix, ignore_errors=True)
