#!/usr/bin/env python3
"""Times the unattended job on a directory whose files and subdirectories interleave in the
list (big\\a00001.txt, big\\a00001x\\f.txt, big\\a00002.txt, ...): where a deletion is
confirmed by listing its directory, this order once cost a listing per row. Prints one
table row per size: files, seconds, microseconds per file. Run through benchmark.sh:
scripts/benchmark.sh --interleaved 2000 4000"""
import os
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from run import fresh_copy, timed, unattended_in  # noqa: E402


def make(path, pairs):
    shutil.rmtree(path, ignore_errors=True)
    big = os.path.join(path, "big")
    when = time.time() - 400 * 86400
    for i in range(pairs):
        for name in ("a%05d.txt" % i, "a%05dx/f.txt" % i):
            file = os.path.join(big, name)
            os.makedirs(os.path.dirname(file), exist_ok=True)
            with open(file, "wb") as f:
                f.write(b"x")
            os.utime(file, (when, when))


def main():
    print("| files | job s | us/file |")
    print("| ---: | ---: | ---: |")
    for size in (int(arg) for arg in sys.argv[1:]):
        source = "/tmp/vantrell-bench/interleaved-%d" % size
        make(source, size // 2)
        seconds = unattended_in(fresh_copy(source))
        print("| %d | %.2f | %.0f |" % (size, seconds, seconds * 1e6 / size))


if __name__ == "__main__":
    main()
