"""A randomized check of the unattended job against an oracle written from the rules alone:
exactly the expected files and directories go, everything else stays byte for byte, and the
CSV file lists exactly the expected rows in lstrcmpA order. Seeded and reproducible:
VANTRELL_ORACLE_SEED and VANTRELL_ORACLE_TREES choose the trees."""
import os
import random
import subprocess
import tempfile
import time
import unittest

from harness import Program, set_attributes, win

SORT = os.environ.get("LSTRCMP_SORT_EXE", os.path.join(os.path.dirname(__file__), "..", "..", "build", "lstrcmp_sort.exe"))
HIDDEN, SYSTEM = 0x2, 0x4
NAMES = ["a", "B", "c d", "e,f", "g.h", "report.final.txt", "x-y", "it's", "Z9", "n 1.2", "older", "Q,R S",
         "Log", "Temp"]
# Names the code page or the path layer would turn into others ("\u0141og" into "Log", a
# full-width reverse solidus into "\\", a trailing dot or blank dropped): the program reaches
# them by their short names, so the CSV shows those, which the oracle cannot foresee.
# (A directory named "..." is not among them: Wine enters it by its short name but cannot
# list it, so what lies below stays; the name rule itself is tested in the unit tests.)
HOSTILE = ["\u0141og", "\uff34emp", "a\uff3c..\uff3cx", "dot.", "blank "]
# Names the path layer would turn into devices: reached relative to their directory's
# handle, where they name no device, they are listed, entered and deleted like any other.
DEVICES = ["CON", "nul", "Aux", "COM1", "lpt1", "PRN.txt"]
# Wine turns Linux names into Windows ones through the locale: only a UTF-8 one shows them.
os.environ["LC_ALL"] = "C.UTF-8"
DAY = 86400


class Node:
    def __init__(self, path, kind, bits=0, old=False, target=None):
        self.path, self.kind, self.bits, self.old, self.target = path, kind, bits, old, target
        self.children = []


class RandomTree:
    """Builds a tree and remembers what each entry is, for the oracle."""

    def __init__(self, rng, root, outside, days, t0):
        self.rng, self.days, self.t0 = rng, days, t0
        self.root = Node(root, "dir")
        self.outside = outside
        self.all_dirs = [self.root]
        self.build(self.root, depth=0)
        self.add_links()
        self.set_dir_times(self.root)

    def age(self, old):
        cut = self.t0 - self.days * DAY
        # Never within a minute of the cut-off: the scan starts a moment after t0.
        offset = self.rng.choice([61, 3600, DAY, 3 * DAY, 400 * DAY])
        return cut - offset if old else cut + offset

    def unique_names(self, count):
        names = self.rng.sample(NAMES + HOSTILE + DEVICES, count)
        return names

    def build(self, node, depth):
        names = self.unique_names(self.rng.randint(0, 6) if depth < 3 else self.rng.randint(0, 3))
        for name in names:
            path = os.path.join(node.path, name)
            if depth < 3 and self.rng.random() < 0.35:
                os.mkdir(path)
                roll = self.rng.random()
                bits = HIDDEN if roll < 0.12 else SYSTEM if roll < 0.2 else 0
                child = Node(path, "dir", bits, old=self.rng.random() < 0.6)
                node.children.append(child)
                self.all_dirs.append(child)
                self.build(child, depth + 1)
                if bits:
                    set_attributes(path, bits)
            else:
                with open(path, "wb") as f:
                    f.write(os.urandom(self.rng.randint(0, 64)))
                roll = self.rng.random()
                bits = HIDDEN if roll < 0.1 else SYSTEM if roll < 0.2 else 0
                if bits:
                    set_attributes(path, bits)
                child = Node(path, "file", bits, old=self.rng.random() < 0.5)
                when = self.age(child.old)
                os.utime(path, (when, when))
                if self.rng.random() < 0.12:
                    os.chmod(path, 0o444)
                node.children.append(child)

    def add_links(self):
        for node in list(self.all_dirs):
            if self.rng.random() < 0.15:
                # Outside the root, or back to the root itself (a loop). A link to a directory
                # that the run removes would dangle, and Wine does not list dangling links.
                target = self.outside if self.rng.random() < 0.5 else self.root.path
                path = os.path.join(node.path, "link%d" % len(node.children))
                os.symlink(target, path)
                node.children.append(Node(path, "link", target=target))

    def set_dir_times(self, node):
        for child in node.children:
            if child.kind == "dir":
                self.set_dir_times(child)
        if node is not self.root:
            when = self.age(node.old)
            os.utime(node.path, (when, when))


def oracle(tree):
    """What the rules say must go, and the directories whose fate Wine's clock may decide."""
    files, dirs, maybe = [], [], []

    expected_files = set()

    def walk(node):
        listed = []
        for child in node.children:
            if child.kind == "file":
                if child.old:
                    expected_files.add(child)
                    files.append(child)
            elif child.kind == "dir" and not child.bits & SYSTEM:
                listed.append(child)
                if not child.bits & HIDDEN:
                    walk(child)
        for child in listed:
            listed_dirs.append(child)

    listed_dirs = []
    walk(tree.root)
    if not files:
        return files, [], []  # the job goes on to deletion only when it found old files
    # Deepest first, as the removal visits them.
    for d in sorted(listed_dirs, key=lambda n: -n.path.count(os.sep)):
        if not d.children:
            if d.old:
                dirs.append(d)
        elif tree.days == 0 and all((c.kind == "file" and c in expected_files) or c in dirs or c in maybe
                                    for c in d.children):
            # Emptied in this very run: with 0 days, a removal within the file system's
            # clock granularity of the scan start may still read as old.
            maybe.append(d)
    return files, dirs, maybe


def snapshot(root):
    state = {}
    for base, subdirs, names in os.walk(root):
        for name in subdirs + names:
            path = os.path.join(base, name)
            if os.path.islink(path):
                state[path] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                state[path] = ("dir",)
            else:
                with open(path, "rb") as f:
                    state[path] = ("file", f.read(), os.stat(path).st_mode)
    return state


class Oracle(unittest.TestCase):
    def test_random_trees_against_the_rules(self):
        seed = int(os.environ.get("VANTRELL_ORACLE_SEED", "20261208"))
        trees = int(os.environ.get("VANTRELL_ORACLE_TREES", "120"))
        rng = random.Random(seed)
        program = Program()
        self.addCleanup(program.cleanup)
        self.totals = {"files": 0, "dirs": 0, "maybe": 0, "links": 0}
        for number in range(trees):
            with self.subTest(tree=number, seed=seed):
                self.check_one(program, rng, number)
        print("\noracle: %d trees, %s" % (trees, self.totals))
        self.assertGreater(self.totals["files"], trees, "the trees must hold old files")
        self.assertGreater(self.totals["dirs"], trees // 10, "and empty old directories")

    def check_one(self, program, rng, number):
        base = tempfile.mkdtemp(prefix="t%d-" % number, dir=program.dir)
        root, outside = os.path.join(base, "root"), os.path.join(base, "outside")
        os.mkdir(root)
        os.mkdir(outside)
        with open(os.path.join(outside, "precious"), "wb") as f:
            f.write(b"keep")
        os.utime(os.path.join(outside, "precious"), (1, 1))
        days = rng.choice([0, 1, 7, 30, 90, 365, rng.randint(0, 365)])
        tree = RandomTree(rng, root, outside, days, time.time())
        files, dirs, maybe = oracle(tree)
        self.totals["files"] += len(files)
        self.totals["dirs"] += len(dirs)
        self.totals["maybe"] += len(maybe)
        self.totals["links"] += sum(1 for d in tree.all_dirs for c in d.children if c.kind == "link")
        before = snapshot(base)
        for name in ("VantrellFiles.csv", "VantrellActivity.log"):
            if os.path.exists(program.path(name)):
                os.remove(program.path(name))
        result = program.run('"%s" %d' % (win(root), days), timeout=60)
        log = (program.read("VantrellActivity.log") or b"").decode("cp1252")
        self.assertEqual((result.code, result.dialogs), (0, []), "tree %d, log:\n%s" % (number, log))

        gone = {n.path for n in files} | {n.path for n in dirs}
        after = snapshot(base)
        for path, was in before.items():
            if path in gone:
                self.assertNotIn(path, after, "should be gone: %s\nlog:\n%s" % (path, log))
            elif path in {n.path for n in maybe}:
                continue
            else:
                self.assertEqual(after.get(path), was, "should be untouched: " + path)
        removed_maybe = [n for n in maybe if n.path not in after]

        csv = program.read("VantrellFiles.csv")
        if not files:
            self.assertIsNone(csv, "nothing old: no CSV file")
            return
        rows = [line.split(b'"')[1].decode() for line in csv.split(b"\r\n")[1:-1]]
        expected = [win(n.path) for n in files] + [win(n.path) + "\\" for n in dirs + removed_maybe]
        plain = [p for p in expected if not is_hostile(p)]
        self.assertEqual([r for r in rows if "~" not in r and "?" not in r],
                         lstrcmp_sorted(plain, program.scratch),
                         "log:\n" + log)
        self.assertEqual(len(rows) - len(plain), len(expected) - len(plain), "rows by short names")
        for row in rows:
            self.assertTrue(row.startswith(win(root) + "\\"), row)


def is_hostile(path):
    return any(part in HOSTILE for part in path.split("\\"))


def lstrcmp_sorted(lines, scratch):
    source, target = os.path.join(scratch, "unsorted.txt"), os.path.join(scratch, "sorted.txt")
    with open(source, "w", encoding="cp1252") as f:
        f.write("\n".join(lines) + "\n")
    # Under wine64 a process now and then fails to start at all (exit status 1, which the
    # helper never returns); the sort is pure, so it is simply run again.
    for attempt in range(3):
        done = subprocess.run(["wine", SORT, win(source), win(target)], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        if done.returncode == 0:
            break
    done.check_returncode()
    with open(target, encoding="cp1252") as f:
        return [line.rstrip("\n") for line in f if line.strip()]


if __name__ == "__main__":
    unittest.main()
