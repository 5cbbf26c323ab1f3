#!/usr/bin/env python3
"""The committed icon and glyph bitmaps must be exactly what their sources make."""
import filecmp
import os
import subprocess
import sys
import tempfile

resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(resources, "make_images.py"), out], check=True)
    made = sorted(os.listdir(out))
    committed = os.path.join(resources, "generated")
    stale = [n for n in made if not filecmp.cmp(os.path.join(out, n), os.path.join(committed, n), shallow=False)]
    if stale or made != sorted(os.listdir(committed)):
        print("out of date:", stale or "file list differs", "- run resources/make_images.py")
        sys.exit(1)
print(len(made), "images match their sources")
