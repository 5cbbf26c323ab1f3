#!/usr/bin/env python3
"""Makes a deterministic benchmark tree: about 100 files per directory, several levels deep,
half of the files old (400 days) and half new, and one empty old directory in every tenth
directory. Usage: make_tree.py ROOT FILES"""
import os
import sys
import time


def main():
    root, total = sys.argv[1], int(sys.argv[2])
    now = time.time()
    old = now - 400 * 86400
    per_dir, fan_out = 100, 10
    directories = (total + per_dir - 1) // per_dir
    made = 0
    for d in range(directories):
        # Directory d lives at a path of its base-10 digits: 3/7/2 and so on.
        parts = list(str(d).zfill(4))
        path = os.path.join(root, *("d" + p for p in parts))
        os.makedirs(path, exist_ok=True)
        for f in range(min(per_dir, total - made)):
            name = os.path.join(path, "file%03d.dat" % f)
            with open(name, "wb"):
                pass
            if (made + f) % 2 == 0:
                os.utime(name, (old, old))
        made += min(per_dir, total - made)
        if d % fan_out == 0:
            empty = os.path.join(path, "empty")
            os.makedirs(empty, exist_ok=True)
            os.utime(empty, (old, old))
    print(made, "files in", directories, "directories under", root)


if __name__ == "__main__":
    main()
