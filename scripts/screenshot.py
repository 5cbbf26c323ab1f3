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
    def shot(name, caption):
        target = os.path.join(out, name + ".png")
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
    # The path button never takes the focus: click it (client coordinates).
    subprocess.run(["xdotool", "mousemove", "--window", window.id, "590", "70", "click", "1"], check=True)
    shot("directory-chooser", "Select Directory")
    window.keys("Escape")
    time.sleep(0.5)
    window.close()
finally:
    program.cleanup()
