"""The program end to end in few starts, for the shipped 32-bit build where each start of an
emulated program costs about a minute: the unattended job on a tree a hostile user shaped,
each return code, and the window's start with a screenshot. It runs against VANTRELL_EXE:
the shipped build in `scripts/test.sh --shipped`, the tested build in the common suite, so a
failure of the shipped build alone is one of 32-bit code. VANTRELL_SLOW_FACTOR stretches
every wait (the emulator's start-up)."""
import os
import shutil
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import TreeTestCase, Window, age, make_file, wait_for, win  # noqa: E402

# Wine turns Linux names into Windows ones through the locale: only a UTF-8 one shows them.
os.environ["LC_ALL"] = "C.UTF-8"
SLOW = float(os.environ.get("VANTRELL_SLOW_FACTOR", "1"))
def machine_of(exe):
    """i686 or x86_64: the machine a PE image is built for."""
    with open(exe, "rb") as f:
        image = f.read(4096)
    pe = int.from_bytes(image[0x3C:0x40], "little")
    return "i686" if int.from_bytes(image[pe + 4:pe + 6], "little") == 0x14C else "x86_64"


SCREENSHOTS = os.environ.get("VANTRELL_SCREENSHOTS", os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "screenshots"))


class Shipped(TreeTestCase):
    def run_job(self, args):
        return self.program.run(args, timeout=90 * SLOW)

    def test_the_job_deletes_every_old_file_it_may_and_nothing_else(self):
        outside = os.path.join(self.program.dir, "outside")
        make_file(os.path.join(outside, "precious.txt"), 400)
        os.symlink(outside, self.tree("link-out"))
        os.symlink(self.root, self.tree("loop"))
        for name in ("CON/inner.txt", "files/nul.txt", "files/AUX"):
            make_file(self.tree(name), 40)
        make_file(self.tree("日本語の書類.txt"), 40)
        make_file(self.tree("Ελληνικά/αρχείο.txt"), 40)
        deep = self.root
        for level in range(12):
            deep = os.path.join(deep, "level%d-" % level + "x" * 50)
        make_file(os.path.join(deep, "old.txt"), 40)
        make_file(self.tree("closed/old.txt"), 40)
        os.chmod(self.tree("closed"), 0)
        self.addCleanup(os.chmod, self.tree("closed"), 0o755)
        make_file(self.tree("new.txt"), 1)
        # A listed directory swapped for a link out of the root once the list is written.
        swapped_out = os.path.join(self.program.dir, "swapped-out")
        for i in range(20):
            make_file(self.tree("zz/f%02d.txt" % i), 40)
            make_file(os.path.join(swapped_out, "f%02d.txt" % i), 40)
        csv = self.program.path("VantrellFiles.csv")

        def swap_once_listed():
            deadline = time.time() + 90 * SLOW
            while not os.path.exists(csv) and time.time() < deadline:
                time.sleep(0.0005)
            shutil.move(self.tree("zz"), self.tree("zz-moved"))
            os.symlink(swapped_out, self.tree("zz"))

        watcher = threading.Thread(target=swap_once_listed)
        os.makedirs(self.tree("empty/old"))
        age(self.tree("empty/old"), 40)
        age(self.tree("empty"), 40)

        watcher.start()
        result = self.run_job('"%s" 30' % win(self.root))
        watcher.join(90 * SLOW)

        self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
        lines = self.log_lines()
        self.assertEqual(lines[-1], "Finished.")
        self.assertEqual(len(os.listdir(swapped_out)), 20, "nothing behind the swapped-in link goes")
        self.assertTrue(os.path.islink(self.tree("zz")))
        # The swap may come before, among or after zz's rows: 6 others, and those of zz's 20
        # reached before it.
        deleted = [int(line.split()[0]) for line in lines if line.endswith(" files deleted.")]
        self.assertTrue(len(deleted) == 1 and 6 <= deleted[0] <= 26, lines[-8:])
        self.assertEqual(lines[lines.index("ERROR: Cannot enter directory %s\\closed" % win(self.root)) + 1],
                         "REASON: Access denied")
        self.assertTrue(os.path.exists(os.path.join(outside, "precious.txt")))
        self.assertTrue(os.path.islink(self.tree("link-out")) and os.path.islink(self.tree("loop")))
        self.assertTrue(os.path.exists(self.tree("new.txt")))
        self.assertTrue(os.path.isdir(self.tree("empty")), "emptied now, so new")
        for gone in ("CON/inner.txt", "files/nul.txt", "files/AUX", "日本語の書類.txt",
                     "Ελληνικά/αρχείο.txt", os.path.join(deep, "old.txt"), "empty/old"):
            self.assertFalse(os.path.exists(self.tree(gone)), gone)
        os.chmod(self.tree("closed"), 0o755)
        self.assertTrue(os.path.exists(self.tree("closed/old.txt")))
        self.assertGreater(max(len(p) for p in self.csv_paths()), 600)
        self.assertFalse(any("?" in p for p in self.csv_paths()), self.csv_paths())

    def test_a_root_under_system32_cleans_system32_never_its_syswow64_twin(self):
        # The 32-bit program on 64-bit Windows: WoW64 would redirect System32 to SysWOW64.
        windows = os.path.join(os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine")),
                               "drive_c", "windows")
        if not os.path.isdir(os.path.join(windows, "syswow64")):
            self.skipTest("a 32-bit prefix has no SysWOW64")
        name = "vantrell-test-%d" % os.getpid()
        system32, twin = (os.path.join(windows, d, name) for d in ("system32", "syswow64"))
        for d in (system32, twin):
            self.addCleanup(shutil.rmtree, d, True)
            make_file(os.path.join(d, "sub", "old.txt"), 40)
        result = self.run_job('"C:\\Windows\\System32\\%s" 30' % name)
        self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
        self.assertFalse(os.path.exists(os.path.join(system32, "sub", "old.txt")), self.log_lines())
        self.assertTrue(os.path.exists(os.path.join(twin, "sub", "old.txt")))
        self.assertIn("1 files deleted.", self.log_lines())

    def test_a_bad_path_ends_with_1_and_an_unwritable_list_with_2(self):
        make_file(self.tree("old.txt"), 40)
        result = self.run_job('"%s\\nope" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (1, ["Error"]))
        self.assertEqual(self.log_lines()[-1], "ERROR: The Path parameter %s\\nope has a path that "
                         "cannot be found or does not exist." % win(self.root))
        # The list cannot be written: the job ends early, before anything is deleted.
        os.mkdir(self.program.path("VantrellFiles.csv"))
        result = self.run_job('"%s" 30' % win(self.root))
        self.assertEqual(result.code, 2, self.log_lines())
        self.assertTrue(os.path.exists(self.tree("old.txt")))

    def test_the_window_starts_scans_and_closes(self):
        make_file(self.tree("old.txt"), 40)
        self.program.write("Vantrell.ini", b"[Vantrell]\r\nDrivePath=%s\r\n" % win(self.root).encode())
        window = Window(self.program, timeout=60 * SLOW)
        self.addCleanup(window.kill)
        window.keys("space")
        wait_for(lambda: self.log_lines()[-1:] == ["Finished."], 60 * SLOW, "the scan")
        time.sleep(1 * SLOW)  # the window paints what the log file already has
        os.makedirs(SCREENSHOTS, exist_ok=True)
        shot = os.path.join(SCREENSHOTS, "smoke-main-window-%s.png" % machine_of(self.program.exe))
        subprocess.run(["import", "-window", window.id, shot], check=True)
        self.assertGreater(os.path.getsize(shot), 1000)
        self.assertIn("1 files found under " + win(self.root), self.log_lines())
        self.assertEqual(window.close(timeout=30 * SLOW), 0)
        self.assertTrue(os.path.exists(self.tree("old.txt")), "a scan alone deletes nothing")


if __name__ == "__main__":
    unittest.main()
