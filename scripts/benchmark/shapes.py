#!/usr/bin/env python3
"""Times the unattended job on trees of seven shapes, each against the careful floor measured
on the same tree (floor.cpp "clean": the whole safe job by handles, with counts where the
job keeps a list, no order), and at twice its size; writes one table to docs/performance.md.
Usage: shapes.py [--scale F] [--only NAME ...] [--runs N]   (F scales every size; 1 is the
full run; N pairs of floor and job at each size, the median ratio kept, 3 unless told)"""
import argparse
import collections
import datetime
import os
import platform
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import Program, win  # noqa: E402

sys.path.insert(0, HERE)
from run import memory_kib  # noqa: E402

BUILD = os.path.join(ROOT, "build")
FLOOR = os.path.join(BUILD, "vantrell_floor.exe")
SYNTHETIC = os.path.join(BUILD, "vantrell_synthetic.exe")
WORK = "/tmp/vantrell-shapes"
OLD = time.time() - 400 * 86400
NEW = time.time() - 86400


def touch(path, when):
    with open(path, "wb"):
        pass
    os.utime(path, (when, when))


def old_dir(path):
    os.makedirs(path, exist_ok=True)
    os.utime(path, (OLD, OLD))


# Each maker builds its tree at `root`. Directories are aged after their contents, as a copy
# keeps them.

def common(root, n):
    """About 100 files a directory, four levels, half old, an old empty directory in every
    tenth (scripts/benchmark/make_tree.py)."""
    subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), root, str(n)], check=True,
                   stdout=subprocess.DEVNULL)


def flat(root, n):
    """One directory of n files, half of them old."""
    d = os.path.join(root, "flat")
    os.makedirs(d)
    for i in range(n):
        touch(os.path.join(d, "file%07d.dat" % i), OLD if i % 2 == 0 else NEW)


def empty(root, n):
    """One old file and n old empty directories in 100 parents (an emptied cache)."""
    touch(os.path.join(root, "old.txt"), OLD)
    for p in range(100):
        parent = os.path.join(root, "p%03d" % p)
        for i in range(p, n, 100):
            old_dir(os.path.join(parent, "e%06d" % i))
        old_dir(parent)


def chain(root, n):
    """One chain of n directories with 250-character names and an old file at its end,
    made by relative opens, as a user below the root can."""
    fd = os.open(root, os.O_RDONLY | os.O_DIRECTORY)
    fds = [fd]
    for level in range(n):
        name = ("%05d" % level) + "c" * 245
        os.mkdir(name, dir_fd=fd)
        fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        fds.append(fd)
    file = os.open("old.txt", os.O_WRONLY | os.O_CREAT, dir_fd=fd)
    os.close(file)
    os.utime("old.txt", (OLD, OLD), dir_fd=fd)
    for level in range(n, 0, -1):  # deepest first, so each stays old
        os.utime(("%05d" % (level - 1)) + "c" * 245, (OLD, OLD), dir_fd=fds[level - 1])
        os.close(fds[level])
    os.close(fds[0])


def one_file(root, n):
    """n old directories of one old file each, in 100 parents."""
    for p in range(100):
        parent = os.path.join(root, "p%03d" % p)
        for i in range(p, n, 100):
            d = os.path.join(parent, "d%06d" % i)
            os.makedirs(d)
            touch(os.path.join(d, "only.txt"), OLD)
            os.utime(d, (OLD, OLD))
        old_dir(parent)


VARIANTS = ("report-%d", "Report-%d", "report%d", "r\u00e9port-%d", "REPORT-%d", "re-port%d")


def siblings(root, n):
    """Sibling directories whose names differ only in case, hyphen or accent, ten files in
    each (half old): their rows interleave in the list's order."""
    dirs = max(1, n // 10)
    for d in range(dirs):
        path = os.path.join(root, VARIANTS[d % len(VARIANTS)] % (d // len(VARIANTS)))
        os.makedirs(path)
        for f in range(10):
            touch(os.path.join(path, "File-%d.txt" % f if f % 2 else "file%d.txt" % f),
                  OLD if f % 2 == 0 else NEW)


SHAPES = [
    # (name, what, size at scale 1, maker)
    ("common", "100 files a directory", 100000, common),
    ("flat", "one directory of files", 1000000, flat),
    ("empty", "old empty directories", 100000, empty),
    ("chain", "a chain of directories", 4000, chain),
    ("one-file", "directories of one old file", 100000, one_file),
    ("siblings", "siblings differing in case, hyphen, accent", 100000, siblings),
]


O_DIRECTORY = os.O_RDONLY | os.O_DIRECTORY


def entries_below(path):
    """Files and directories below `path`, at any depth: by relative opens and without
    recursion (os.fwalk recurses, and a chain is thousands of levels deep)."""
    count = 0
    stack = [(os.open(path, O_DIRECTORY), None)]
    while stack:
        fd, pending = stack[-1]
        if pending is None:
            entries = list(os.scandir(fd))
            count += len(entries)
            pending = [e.name for e in entries if e.is_dir(follow_symlinks=False)]
            stack[-1] = (fd, pending)
        if pending:
            stack.append((os.open(pending.pop(), O_DIRECTORY, dir_fd=fd), None))
        else:
            os.close(fd)
            stack.pop()
    return count


def remove_tree(path):
    """shutil.rmtree for any depth (it recurses too). Each level is listed once, so a root of
    many subdirectories costs no more than its listing."""
    if not os.path.lexists(path):
        return
    # Each level: its fd, its name in its parent, and its subdirectories yet to remove.
    stack = [(os.open(path, O_DIRECTORY), None, None)]
    while stack:
        fd, name, pending = stack[-1]
        if pending is None:
            pending = []
            for e in os.scandir(fd):
                if e.is_dir(follow_symlinks=False):
                    pending.append(e.name)
                else:
                    os.unlink(e.name, dir_fd=fd)
            stack[-1] = (fd, name, pending)
        if pending:
            below = pending.pop()
            stack.append((os.open(below, O_DIRECTORY, dir_fd=fd), below, None))
            continue
        os.close(fd)
        stack.pop()
        if stack:
            os.rmdir(name, dir_fd=stack[-1][0])
    os.rmdir(path)


# ext4 without a journal (this machine's) will not reuse an inode freed in the last 35 s or
# so, and scans past every such one for each new file: a tree made just after another was
# deleted took minutes. Trees are made once the last deletion has settled.
SETTLE_S = 36
last_deletion = 0.0


def deleted():
    global last_deletion
    last_deletion = time.time()


def settle():
    wait = last_deletion + SETTLE_S - time.time()
    if wait > 0:
        time.sleep(wait)


def make(name, maker, size, copy):
    """A fresh tree of the shape, written out before any clock starts; its entries."""
    path = os.path.join(WORK, "%s-%d-%s" % (name, size, copy))
    if os.path.lexists(path):
        remove_tree(path)
        deleted()
    settle()
    os.makedirs(path)
    maker(path, size)
    subprocess.run(["sync"], check=True)
    return path, entries_below(path)


def job(path):
    """The unattended job's seconds and peak memory (KiB) on the tree at `path`."""
    program = Program()
    try:
        start = time.perf_counter()
        process = subprocess.Popen(["wine", program.exe, win(path), "30"], cwd=program.dir,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        peak = 0
        while process.poll() is None:
            peak = max(peak, memory_kib(program.dir, "VmHWM") or 0)
            time.sleep(0.1)
        seconds = time.perf_counter() - start
        log = (program.read("VantrellActivity.log") or b"").decode("cp1252")
        if process.returncode != 0 or not log.endswith("Finished.\r\n"):
            raise RuntimeError("the job ended with %d: %s" % (process.returncode, log[-500:]))
        return seconds, peak, log
    finally:
        program.cleanup()


def floor(path):
    start = time.perf_counter()
    out = subprocess.run(["wine", FLOOR, "clean", win(path), "30"], check=True, capture_output=True,
                         text=True).stdout
    return time.perf_counter() - start, out.strip()


class Pair(collections.namedtuple("Pair", "entries floor_s floor_said job_s peak log left")):
    """One pair: the entries of each tree, the floor's seconds and report, the job's seconds,
    peak and log, and what the job left."""

    @property
    def ratio(self):
        return self.job_s / self.floor_s


def floor_then_job(name, maker, size):
    """The floor and then the job, each on a fresh tree of the shape, both made before either
    runs."""
    floor_path, entries = make(name, maker, size, "floor")
    job_path, _ = make(name, maker, size, "job")
    floor_s, floor_said = floor(floor_path)
    job_s, peak, log = job(job_path)
    left = entries_below(job_path)
    remove_tree(floor_path)
    remove_tree(job_path)
    deleted()  # the runs' deletions too: these removals are the last
    return Pair(entries, floor_s, floor_said, job_s, peak, log, left)


def measure(name, maker, size, baseline_kib, runs):
    """`runs` pairs of floor and job at the size, the pair of the median ratio kept (the
    floor's own time moves by a fifth between runs here), then one pair at twice the size."""
    pairs = []
    for _ in range(runs):
        pair = floor_then_job(name, maker, size)
        print("%s %d: floor %.2f s, job %.2f s, ratio %.3f" % (name, size, pair.floor_s, pair.job_s, pair.ratio),
              flush=True)
        pairs.append(pair)
    pairs.sort(key=lambda p: p.ratio)
    median = pairs[(len(pairs) - 1) // 2]
    peak = max(p.peak for p in pairs)
    # The floor at twice the size too: where the platform's own time grows faster than the
    # tree (Wine's relative opens in a deep chain), the job's cannot do better.
    twice = floor_then_job(name, maker, 2 * size)
    found = re.search(r"(\d+) files found under", median.log)
    row = {
        "shape": name, "size": size, "entries": median.entries, "job": median.job_s, "floor": median.floor_s,
        "twice": twice.job_s, "floor_twice": twice.floor_s,
        "bytes": max(peak - baseline_kib, 0) * 1024.0 / median.entries,
        "found": int(found.group(1)) if found else 0, "left": median.left, "floor_said": median.floor_said,
        "ratios": " ".join("%.2f" % p.ratio for p in pairs),
    }
    print("%(shape)s %(size)d: job %(job).2f s, floor %(floor).2f s (%(floor_said)s), ratios %(ratios)s, "
          "twice %(twice).2f s (floor %(floor_twice).2f s), %(bytes).0f bytes/entry, %(left)d entries left" % row,
          flush=True)
    return row


def synthetic(rows, flat_list):
    out = subprocess.run(["wine", SYNTHETIC, str(rows)] + (["flat"] if flat_list else []), check=True,
                         capture_output=True, text=True).stdout
    fill = float(re.search(r"fill and order s ([\d.]+)", out).group(1))
    per_row = float(re.search(r"peak bytes/row ([\d.]+)", out).group(1))
    text = float(re.search(r"text ([\d.]+) bytes/row", out).group(1))
    largest = int(re.search(r"largest allocation bytes (\d+)", out).group(1))
    print("synthetic %d%s: %.2f s, %.1f bytes/row (text %.1f), largest block %d" %
          (rows, " flat" if flat_list else "", fill, per_row, text, largest), flush=True)
    return fill, per_row, text, largest


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--runs", type=int, default=3, help="pairs at each shape's size; the median is kept")
    args = parser.parse_args()
    os.makedirs(WORK, exist_ok=True)
    base_path, _ = make("baseline", lambda root, n: touch(os.path.join(root, "old.txt"), OLD), 1, "job")
    _, baseline_kib, _ = job(base_path)
    remove_tree(base_path)
    rows = []
    for name, what, size, maker in SHAPES:
        if args.only and name not in args.only:
            continue
        rows.append((what, measure(name, maker, max(1, int(size * args.scale)), baseline_kib, args.runs)))
    synthetic_rows = []
    if not args.only or "synthetic" in args.only:
        count = max(1000, int(10000000 * args.scale))
        for flat_list in (False, True):
            one = synthetic(count, flat_list)
            twice = synthetic(2 * count, flat_list)
            synthetic_rows.append((count, flat_list, one, twice[0]))
    write_report(rows, synthetic_rows, args.scale)


def old_rows():
    """The rows of the shapes tables now in docs/performance.md, by shape (or by rows and
    layout for the list alone)."""
    path = os.path.join(ROOT, "docs", "performance.md")
    text = open(path).read()
    if "\n## Shapes\n" not in text:
        return {}
    start = text.index("\n## Shapes\n")
    end = text.find("\n## ", start + 1)
    rows = {}
    for line in text[start:end if end >= 0 else len(text)].splitlines():
        cells = [c.strip() for c in line.strip("|").split("|")]
        if not line.startswith("| ") or cells[0] in ("shape", "synthetic rows") or cells[0].startswith("---"):
            continue
        rows["synthetic|%s|%s" % (cells[0], cells[1]) if cells[0].isdigit() else cells[0]] = line
    return rows


def with_current_cells(row):
    """An earlier shape row, with empty cells for what was not measured then: the floor's
    twice/once and the ratios of several runs."""
    cells = [c.strip() for c in row.strip().strip("|").split("|")]
    if len(cells) == 11:
        cells.insert(9, "")
    if len(cells) == 12:
        cells.insert(7, "")
    return "| " + " | ".join(cells) + " |"


def write_report(rows, synthetic_rows, scale):
    lines = [
        "## Shapes",
        "",
        "Measured by `scripts/benchmark.sh --shapes%s` on %s (%s, %d cores), %s, under Wine." %
        ("" if scale == 1 else " %g" % scale, platform.node(), platform.machine(), os.cpu_count(),
         datetime.date.today().isoformat()),
        "Each shape's tree is made by `scripts/benchmark/shapes.py`; the floor is `floor.cpp clean`",
        "on a fresh copy of the same tree: the whole safe job by handles (each directory listed",
        "once its final path shows it below the root, each deletion counted once its name is seen",
        "gone, an old directory's emptiness by its own listing), counts where the job keeps its",
        "list, no order, one walk where the job lists before it deletes. Peak bytes",
        "per entry: the growth of the job's peak memory over",
        "a one-file job, per file or directory of the tree. Each size is run several times, floor",
        "and job on two copies made before either runs; the run of the median ratio is shown, all",
        "ratios beside it. Twice: the job on the same shape at",
        "twice the size, and its time over the first; the floor's own time over its first at twice",
        "the size beside it.",
        "",
        "| shape | size | entries | files found | job s | floor s | ratio | runs' ratios | twice s | twice/once | floor twice/once | peak bytes/entry | left |",
        "| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |",
    ]
    old = old_rows()
    shape_rows = {}
    for what, r in rows:
        shape_rows[what] = ("| %s | %d | %d | %d | %.2f | %.2f | %.2f | %s | %.2f | %.2f | %.2f | %.0f | %d |" % (
            what, r["size"], r["entries"], r["found"], r["job"], r["floor"], r["job"] / r["floor"],
            r["ratios"], r["twice"], r["twice"] / r["job"], r["floor_twice"] / r["floor"], r["bytes"], r["left"]))
    # A run of some shapes (--only) keeps the others' rows of an earlier run, in the shapes' order;
    # a row from before a column was measured gets an empty cell for it.
    kept = {k: with_current_cells(v) for k, v in old.items() if not k.startswith("synthetic|")}
    kept.update(shape_rows)
    order = [what for _, what, _, _ in SHAPES]
    lines += [kept[k] for k in sorted(kept, key=lambda k: order.index(k) if k in order else len(order))]
    synthetic = {}
    for count, flat_list, (fill, per_row, text, largest), twice in synthetic_rows:
        layout = "one directory" if flat_list else "100 a directory"
        synthetic["synthetic|%d|%s" % (count, layout)] = "| %d | %s | %.2f | %.2f | %.2f | %.1f | %.1f | %d |" % (
            count, layout, fill, twice, twice / fill, per_row, text, largest)
    synthetic.update({k: v for k, v in old.items() if k.startswith("synthetic|") and k not in synthetic})
    if synthetic:
        lines += [
            "",
            "The list alone (`vantrell_synthetic.exe`, the walk's own insertion path without files;",
            "its floor is the names' text, the least any list of them holds):",
            "",
            "| synthetic rows | layout | fill and order s | twice s | twice/once | peak bytes/row | text bytes/row | largest block |",
            "| ---: | --- | ---: | ---: | ---: | ---: | ---: | ---: |",
        ]
        lines += [synthetic[k] for k in sorted(synthetic)]
    section = "\n".join(lines) + "\n"
    path = os.path.join(ROOT, "docs", "performance.md")
    text = open(path).read()
    if "\n## Shapes\n" in text:
        start = text.index("\n## Shapes\n") + 1
        end = text.find("\n## ", start)
        text = text[:start] + section + (text[end:] if end >= 0 else "")
    else:
        at = text.index("\n## Notes")
        text = text[:at + 1] + section + text[at:]
    with open(path, "w") as f:
        f.write(text)
    print(section)


if __name__ == "__main__":
    main()
