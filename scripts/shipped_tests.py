#!/usr/bin/env python3
"""Runs one GoogleTest program of the shipped build under Wine, all of its tests in one start,
and watches it. Through qemu-user, Wine now and then crashes or stalls a 32-bit program at a
point that passes when started again (seen in long runs only, never in the same test alone).
So a start that ends without its summary, or prints nothing for --quiet seconds, is ended;
the tests not yet run get one more start, and the test it stopped in is started alone once:
only a test that fails or stops there too counts as failed. Every such event is printed.
A test given with --leave-out is not run, and said so.
Usage: shipped_tests.py [--quiet SECONDS] [--limit SECONDS] [--leave-out TEST ...] PROGRAM.exe LOG
LAUNCHER...
Prints "<program>: N passed, N failed" last; exits 0 only when none failed."""
import argparse
import os
import re
import select
import subprocess
import sys
import time

RUN = re.compile(r"^\[ RUN +\] (\S+)")
OK = re.compile(r"^\[ +OK +\] (\S+)")
FAILED = re.compile(r"^\[ +FAILED +\] (\S+\.\S+?)(,| \(|$)")
SUMMARY = re.compile(r"^\[ +PASSED +\]|^\[ +FAILED +\] \d+ tests?, listed below")


def start(command, log, quiet, limit):
    """One start: the tests that passed and failed, the one it stopped in (None when it
    ended with its summary), and why it stopped."""
    passed, failed, running, summary = [], [], None, False
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, start_new_session=True)
    deadline, heard = time.time() + limit, time.time()
    why, pending = None, b""
    while True:
        ready, _, _ = select.select([process.stdout], [], [], 5)
        if ready:
            chunk = os.read(process.stdout.fileno(), 65536)
            if not chunk:
                break
            heard = time.time()
            log.write(chunk)
            log.flush()
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for raw in lines:
                line = raw.decode("utf-8", "replace").rstrip("\r")
                if RUN.match(line):
                    running = RUN.match(line).group(1)
                elif OK.match(line):
                    passed.append(OK.match(line).group(1))
                    running = None
                elif FAILED.match(line) and running:
                    failed.append(running)
                    running = None
                if SUMMARY.match(line):
                    summary = True
        now = time.time()
        if now - heard > quiet or now > deadline:
            why = "printed nothing for %d s" % quiet if now - heard > quiet else "ran past its limit"
            break
    if why:
        os.killpg(process.pid, 9)
    process.wait()
    if not why and not summary:
        why = "ended (status %d) without its summary" % process.returncode
    return passed, failed, (running or "(between tests)") if why else None, why


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("log")
    parser.add_argument("--quiet", type=int, default=300)
    parser.add_argument("--limit", type=int, default=1800)
    parser.add_argument("--leave-out", action="append", default=[])
    parser.add_argument("launcher", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    name = os.path.splitext(os.path.basename(args.program))[0]
    command = args.launcher + [args.program]
    passed, failed, excluded = [], [], list(args.leave_out)
    for test in args.leave_out:
        print("%s: left out %s" % (name, test), flush=True)
    with open(args.log, "wb") as log:
        for attempt in (1, 2):
            extra = ["--gtest_filter=-" + ":".join(excluded)] if excluded else []
            ok, bad, stopped, why = start(command + extra, log, args.quiet, args.limit)
            passed += ok
            failed += bad
            if not stopped:
                break
            print("%s: the start %s in %s" % (name, why, stopped), flush=True)
            if stopped == "(between tests)" or attempt == 2:
                failed.append(stopped)
                break
            # The test it stopped in, alone: a fault of the program shows again there.
            ok, bad, again, why = start(command + ["--gtest_filter=" + stopped], log, args.quiet,
                                        args.limit)
            if ok:
                print("%s: %s passes when started alone" % (name, stopped), flush=True)
                passed += ok
            else:
                print("%s: %s fails alone too (%s)" % (name, stopped, why or "failed"), flush=True)
                failed.append(stopped)
            excluded = args.leave_out + passed + failed
    for test in sorted(set(failed)):
        print("%s: FAILED %s" % (name, test))
    print("%s: %d passed, %d failed" % (name, len(set(passed) - set(failed)), len(set(failed))))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
