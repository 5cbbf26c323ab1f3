#!/usr/bin/env python3
"""Starts Vantrell under Xvfb on a small demo tree, scans it, and saves a screenshot of the
main window for review (not a pixel comparison). Usage: scripts/screenshot.sh [out-dir]"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Program, Window, make_file, wait_for, win  # noqa: E402

out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/screenshots")
os.makedirs(out, exist_ok=True)
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
    target = os.path.join(out, "main-window.png")
    subprocess.run(["import", "-window", window.id, target], check=True)
    print("saved", target)
    window.close()
finally:
    program.cleanup()
