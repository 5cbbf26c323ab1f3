#!/usr/bin/env python3
"""Times Vantrell beside the platform's floor on generated trees and writes
docs/performance.md, replacing the table's rows for the same size and days.
Usage: run.py [--runs N] [--days D] SIZE...   (e.g. 10000 100000 1000000)
With --days 0 every file of the tree is old, so the interactive scan lists them all."""
import argparse
import datetime
import os
import platform
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import Program, Window, wait_for, win  # noqa: E402

BUILD = os.path.join(ROOT, "build")
FLOOR = os.path.join(BUILD, "vantrell_floor.exe")
WORK = "/tmp/vantrell-bench"
DAYS = "30"  # set from --days


def tree(size):
    path = os.path.join(WORK, "tree-%d" % size)
    if not os.path.exists(path + ".done"):
        shutil.rmtree(path, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), path, str(size)], check=True,
                       stdout=subprocess.DEVNULL)
        open(path + ".done", "w").close()
    return path


def fresh_copy(source):
    copy = source + "-copy"
    shutil.rmtree(copy, ignore_errors=True)
    subprocess.run(["cp", "-a", source, copy], check=True)
    # The copy's pages are written out before the clock starts: writeback during a run
    # made the same deletion take from 13 to 18 s.
    subprocess.run(["sync"], check=True)
    return copy


def timed(command, cwd=None):
    start = time.perf_counter()
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def memory_kib(program_dir, field):
    out = subprocess.run(["pgrep", "-f", "Vantrell.exe"], capture_output=True, text=True).stdout.split()
    for pid in out:
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmd = f.read().decode(errors="replace")
            if win(program_dir).lower() not in cmd.lower() and program_dir not in cmd:
                continue
            with open("/proc/%s/status" % pid) as f:
                status = dict(line.rstrip("\n").split(":\t", 1) for line in f if ":\t" in line)
            # Wine's launcher (start.exe /exec ...) names the program too: it is not the job.
            if status.get("Name") != "Vantrell.exe" or field not in status:
                continue
            return int(status[field].split()[0])
        except OSError:
            continue
    return None


def unattended(source):
    return unattended_in(fresh_copy(source))


def unattended_in(tree_path):
    """The unattended job's time on the tree at `tree_path`, which it cleans."""
    program = Program()
    try:
        return timed(["wine", program.exe, win(tree_path), DAYS], cwd=program.dir)
    finally:
        program.cleanup()


def floor(source, mode):
    target = fresh_copy(source) if mode in ("job", "bound") else source
    return timed(["wine", FLOOR, mode, win(target), DAYS])


def interactive(source, size):
    program = Program()
    try:
        program.write("Vantrell.ini", b"[Vantrell]\r\nDaysOld=%s\r\nDrivePath=%s\r\n" % (DAYS.encode(), win(source).encode()))
        window = Window(program)
        time.sleep(1)
        before = memory_kib(program.dir, "VmRSS")
        window.keys()
        start = time.perf_counter()
        window.keys("space")
        # The log grows as the scan goes; the scan ends with its "Finished." line.
        wait_for(lambda: (program.read("VantrellActivity.log") or b"").endswith(b"Finished.\r\n"),
                 3600, "the scan")
        seconds = time.perf_counter() - start - 0.2  # keys() waits 0.2 s after the key
        peak = memory_kib(program.dir, "VmHWM")
        csv = program.read("VantrellFiles.csv") or b""
        rows = max(csv.count(b"\r\n") - 1, 1)
        window.close()
        # The rows keep their names, not their paths: the growth per row, text included.
        return seconds, (peak - before) * 1024.0 / rows, rows
    finally:
        program.cleanup()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--days", default="30")
    parser.add_argument("sizes", nargs="+", type=int)
    args = parser.parse_args()
    global DAYS
    DAYS = args.days
    os.makedirs(WORK, exist_ok=True)
    rows = []
    for size in args.sizes:
        source = tree(size)
        runs = args.runs if size < 1000000 else max(1, args.runs // 2)
        job, bare_job, bound_job, scan, bare_walk, extra = [], [], [], [], [], []
        for _ in range(runs):
            bare_job.append(floor(source, "job"))
            bound_job.append(floor(source, "bound"))
            job.append(unattended(source))
            bare_walk.append(floor(source, "walk"))
            seconds, bytes_per_row, listed = interactive(source, size)
            scan.append(seconds)
            extra.append(bytes_per_row)
        m = statistics.median
        rows.append((size, int(DAYS), m(job), m(bare_job), m(bound_job), m(scan), m(bare_walk),
                     m(extra), listed, runs))
        print("%d files: job %.2f s (bare %.2f, bound %.2f), scan %.2f s (bare walk %.2f), %.0f bytes/row" %
              (size, m(job), m(bare_job), m(bound_job), m(scan), m(bare_walk), m(extra)), flush=True)
    write_report(rows, args.runs)


TABLE_HEAD = ("| files | days | rows listed | runs | unattended job s | bare job s | ratio | bound job s | ratio | "
              "interactive scan s | bare walk s | ratio | job us/file | peak bytes/row |")
COLUMNS = TABLE_HEAD.count("|") - 1


def write_report(rows, runs):
    path = os.path.join(ROOT, "docs", "performance.md")
    kept = {}
    notes = ""
    if os.path.exists(path):
        text = open(path).read()
        for line in text.splitlines():
            cells = [c.strip() for c in line.strip("|").split("|")]
            if line.startswith("| ") and len(cells) == COLUMNS and cells[0].isdigit():
                kept[(int(cells[0]), int(cells[1]))] = line
        # Every section after the table (the shapes, the notes) stays as it is.
        if "\n## " in text:
            notes = text[text.index("\n## "):]
    for size, days, job, bare_job, bound_job, scan, bare_walk, extra, listed, n in rows:
        kept[(size, days)] = ("| %d | %d | %d | %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.1f | %.0f |"
                              % (size, days, listed, n, job, bare_job, job / bare_job, bound_job, job / bound_job,
                                 scan, bare_walk, scan / bare_walk, job / size * 1e6, extra))
    lines = [
        "# Performance",
        "",
        "Measured by `scripts/benchmark.sh` on %s (%s, %d cores), last on %s, under Wine with Xvfb."
        % (platform.node(), platform.machine(), os.cpu_count(), datetime.date.today().isoformat()),
        "Trees from `scripts/benchmark/make_tree.py`: about 100 files per directory, four levels,",
        "half of the files 400 days old, an empty old directory in every tenth directory. Each",
        "figure is the median of the given runs on a fresh copy of the tree; the bare programs",
        "are `scripts/benchmark/floor.cpp`, measured in the same run: the bare job deletes by name,",
        "the bound job through handles as a careful job must (a directory handle, a relative open",
        "that follows no link, the times read through the file's handle, the disposition). With 0",
        "days every file is old.",
        "",
        TABLE_HEAD,
        "|" + " ---: |" * COLUMNS,
    ] + [kept[k] for k in sorted(kept)] + [
        "",
        "The interactive scan runs from the key press on Scan Now until the log file ends with",
        "\"Finished.\", with the list filled and the window repainting. Peak bytes per row: the",
        "growth of the process's peak memory over the scan, per listed row, its text included",
        "(a row keeps its name, not its path).",
    ]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n" + notes)
    print("\n".join(lines))


if __name__ == "__main__":
    main()
