"""A scheduled job as a hostile user, a scheduler and a full disk meet it: only the folder
typed is cleaned, in every form Windows reads; no user without write access to the program
folder can stop a run; what killed runs left goes; a moment of full disk loses no line; a
close is heard in every phase."""
import glob
import os
import subprocess
import time
import unittest

from harness import TreeTestCase, make_file, wait_for, win

HERE = os.path.dirname(__file__)
BUILD = os.path.join(HERE, "..", "..", "build")
HIDDEN = os.environ.get("HIDDEN_STATION_EXE", os.path.join(BUILD, "hidden_station.exe"))
HOLD = os.environ.get("HOLD_FILE_EXE", os.path.join(BUILD, "hold_file.exe"))
SQUAT = os.environ.get("SQUAT_LOCK_EXE", os.path.join(BUILD, "squat_lock.exe"))
LOG = "VantrellActivity.log"
CSV = "VantrellFiles.csv"
INI = "Vantrell.ini"
OTHER_RUN = ("Another run of Vantrell from this folder is working. This run ends without "
             "touching its log, CSV file or settings.")
CLOSED = "ERROR: The run was ended early: the program was asked to close."


class OnlyTheFolderTyped(TreeTestCase):
    def test_every_form_windows_reads_cleans_exactly_that_folder(self):
        # The program starts in its own folder; a decoy stands where the text would lead if
        # read relative to it, a link to an outside folder among it.
        linux = os.path.abspath(self.root)
        decoy = os.path.join(self.program.dir, linux.lstrip("/"))
        outside = os.path.join(self.program.scratch, "outside")
        make_file(os.path.join(outside, "precious.txt"), 40)
        os.makedirs(os.path.dirname(decoy), exist_ok=True)
        os.symlink(outside, decoy)
        forms = [
            ("forward slashes", "Z:" + linux),
            ("no drive, forward slashes", linux),
            ("mixed separators", "Z:" + linux.replace("/", "\\", 2)),
            ("a trailing separator", "Z:" + linux + "/"),
            ("dots", win(linux) + "\\sub\\..\\.\\"),
            ("relative to the start folder", ".\\tree"),
            ("the drive's current folder", "Z:tree"),
            ("the device form", "\\\\.\\" + win(linux)),
            ("the verbatim form", "\\\\?\\" + win(linux)),
        ]
        for what, typed in forms:
            with self.subTest(what):
                make_file(self.tree("old.txt"), 40)
                os.makedirs(self.tree("sub"), exist_ok=True)
                result = self.program.run('"%s" 30' % typed)
                self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
                self.assertFalse(os.path.exists(self.tree("old.txt")), typed)
                self.assertTrue(os.path.exists(os.path.join(outside, "precious.txt")), typed)
                self.assertEqual(self.log_lines()[0], "Searching path " + typed)

    def test_a_form_windows_cannot_read_is_a_missing_path(self):
        make_file(self.tree("old.txt"), 40)
        typed = "\\\\?\\" + win(self.root).replace("\\", "/")  # no separators after the prefix
        result = self.program.run('"%s" 30' % typed, answer=True)
        self.assertEqual(result.code, 1)
        self.assertEqual(self.log_lines()[-1], "ERROR: The Path parameter %s has a path that "
                         "cannot be found or does not exist." % typed)
        self.assertTrue(os.path.exists(self.tree("old.txt")))


class TheLock(TreeTestCase):
    def run_hidden(self):
        result = self.program.run('"%s" 30' % win(self.root), timeout=60, answer=False,
                                  launcher=HIDDEN)
        self.assertEqual(result.dialogs, [])
        return result.code

    def test_the_name_an_earlier_lock_took_stops_no_run(self):
        make_file(self.tree("old.txt"), 40)
        squatter = subprocess.Popen(["wine", SQUAT, win(self.program.dir), "120"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True)
        self.addCleanup(lambda: (squatter.kill(), squatter.wait()))
        wait_for(lambda: os.path.exists(self.program.path("squat.held")), 30, "the squatter")
        self.assertEqual(self.run_hidden(), 0)
        self.assertEqual(self.log_lines()[-1], "Finished.")
        self.assertFalse(os.path.exists(self.tree("old.txt")))

    def test_a_refused_run_says_why_beside_the_program_and_touches_no_record(self):
        make_file(self.tree("old.txt"), 40)
        self.program.write(LOG, b"the working run's log\r\n")
        lock = self.program.path("Vantrell.lock")
        holder = subprocess.Popen(["wine", HOLD, win(lock), "120"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(lambda: (holder.kill(), holder.wait()))
        wait_for(lambda: os.path.exists(lock + ".held"), 30, "the holder")
        self.assertEqual(self.run_hidden(), 2)
        self.assertEqual(self.program.read(LOG), b"the working run's log\r\n")
        refused = self.program.read("VantrellRefused.log").decode("cp1252")
        self.assertTrue(refused.endswith(" " + OTHER_RUN + "\r\n"), refused)
        self.assertEqual(refused.count("\r\n"), 1)
        self.assertTrue(os.path.exists(self.tree("old.txt")))

    def test_what_killed_runs_left_goes_and_nothing_else(self):
        make_file(self.tree("old.txt"), 40)
        outside = os.path.join(self.program.scratch, "victim.txt")
        with open(outside, "wb") as f:
            f.write(b"keep")
        left = ["VantrellFiles.csv.1f4-0.new", "VantrellActivity.log.22-1.new", "Vantrell.ini.9-0.new"]
        for name in left:
            make_file(self.program.path(name), 1, b"x" * 100000)
        os.symlink(outside, self.program.path("VantrellFiles.csv.30-0.new"))
        make_file(self.program.path("notes.txt.1-0.new"), 1)
        self.assertEqual(self.program.run('"%s" 30' % win(self.root)).code, 0)
        self.assertEqual(sorted(os.path.basename(p) for p in glob.glob(self.program.path("*.new"))),
                         ["notes.txt.1-0.new"])
        with open(outside, "rb") as f:
            self.assertEqual(f.read(), b"keep", "a link goes as a link")


class AFullDisk(TreeTestCase):
    """The program folder on a small file system that is full for a second while the
    deletion logs an error for every file."""

    def setUp(self):
        super().setUp()
        self.mount = os.path.join(self.program.scratch, "disk")
        os.mkdir(self.mount)
        size = os.path.getsize(self.program.exe) + 4 * 1024 * 1024
        made = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d" % size, "tmpfs", self.mount],
                              capture_output=True, text=True)
        if made.returncode != 0:
            self.skipTest("a small file system cannot be mounted here: " + made.stderr.strip())
        self.addCleanup(subprocess.run, ["umount", "-l", self.mount])
        os.chmod(self.mount, 0o777)
        self.exe = os.path.join(self.mount, "Vantrell.exe")
        with open(self.program.exe, "rb") as f, open(self.exe, "wb") as g:
            g.write(f.read())
        self.program.exe, self.program.dir = self.exe, self.mount

    DIRECTORIES = 80

    def test_no_line_is_lost_and_none_is_cut(self):
        for d in range(self.DIRECTORIES):
            for i in range(100):
                make_file(self.tree("d%02d/f%03d.txt" % (d, i)), 40)
            os.chmod(self.tree("d%02d" % d), 0o555)  # every deletion there fails
            self.addCleanup(os.chmod, self.tree("d%02d" % d), 0o755)
        filler = os.path.join(self.mount, "filler")
        state = {}

        def fill_then_free():
            log = self.program.read(LOG) or b""
            if "full" not in state and log.count(b"ERROR: Could not delete") >= 100:
                with open(filler, "wb", buffering=0) as f:
                    try:
                        while True:
                            f.write(b"\0" * 65536)
                    except OSError:
                        pass
                state["full"] = time.time()
            elif "full" in state and "freed" not in state and time.time() - state["full"] > 1:
                state["lines while full"] = (self.program.read(LOG) or b"").count(b"\r\n")
                os.remove(filler)
                state["freed"] = True

        result = self.program.run('"%s" 30' % win(self.root), timeout=300, while_running=fill_then_free)
        self.assertIn("freed", state, "the disk was full for a while during the deletion")
        self.assertLess(state["lines while full"], 2 * 2 * 100 * self.DIRECTORIES, "it was full")
        data = self.program.read(LOG)
        self.assertTrue(data.endswith(b"\r\n"), data[-80:])
        lines = data.decode("cp1252").split("\r\n")[:-1]
        self.assertEqual(result.code, 0, lines[-3:])
        self.assertEqual(lines[-1], "Finished.")
        files = 100 * self.DIRECTORIES
        self.assertEqual(sum(line.startswith("ERROR: Could not delete ") for line in lines), files)
        self.assertEqual(sum(line.startswith("REASON: ") for line in lines), files)
        self.assertIn("0 files deleted.", lines)


class ACloseInEveryPhase(TreeTestCase):
    def test_a_close_during_the_removal_of_empty_directories_ends_with_code_2(self):
        make_file(self.tree("old.txt"), 40)
        for i in range(3000):
            path = self.tree("p%02d/e%04d" % (i % 30, i))
            os.makedirs(path)
            os.utime(path, (time.time() - 40 * 86400,) * 2)
        asked = []

        def close_once_removing():
            log = self.program.read(LOG) or b""
            if not asked and b"Deleting empty directories..." in log:
                asked.append(subprocess.run(["wine", "taskkill", "/im", "Vantrell.exe"],
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

        result = self.program.run('"%s" 30' % win(self.root), while_running=close_once_removing)
        self.assertTrue(asked, "the close was sent")
        self.assertEqual((result.code, result.dialogs), (2, []))
        lines = self.log_lines()
        self.assertEqual(lines[-1], CLOSED)
        self.assertNotIn("Finished.", lines)
        left = sum(len(dirs) for _, dirs, _ in os.walk(self.root))
        self.assertGreater(left, 30, "stopped before the last directory")


if __name__ == "__main__":
    unittest.main()
