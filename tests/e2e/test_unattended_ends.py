"""Every end of a run that no one can answer: started on a window station no one sees (as a
task that runs whether the user is logged on or not), or asked to end while it works. Each
must end by itself, with its return code and its reason in the log's last line."""
import os
import subprocess

from harness import TreeTestCase, make_file, wait_for, win

HERE = os.path.dirname(__file__)
BUILD = os.path.join(HERE, "..", "..", "build")
HIDDEN = os.environ.get("HIDDEN_STATION_EXE", os.path.join(BUILD, "hidden_station.exe"))
END_SESSION = os.environ.get("END_SESSION_EXE", os.path.join(BUILD, "end_session.exe"))
HOLD = os.environ.get("HOLD_FILE_EXE", os.path.join(BUILD, "hold_file.exe"))

NO_DESKTOP = ("ERROR: No one can see this desktop: a run here needs exactly two parameters, "
              "a path and a number of days.")
CLOSED = "ERROR: The run was ended early: the program was asked to close."
SESSION = "ERROR: The run was ended early: the Windows session is ending."


class NoOneToAnswer(TreeTestCase):
    def run_hidden(self, args):
        # A dialog on that station is never drawn: a run that waits for one times out here.
        result = self.program.run(args % {"root": win(self.root)}, timeout=60, answer=False,
                                  launcher=HIDDEN)
        self.assertEqual(result.dialogs, [])
        return result.code, (self.log_lines() or [None])[-1]

    def test_each_end_without_a_visible_desktop(self):
        cases = [
            # (what, command line, return code, the log's last line)
            ("no parameters", "", 1, NO_DESKTOP),
            ("one parameter", '"%(root)s"', 1, NO_DESKTOP),
            ("three parameters", '"%(root)s" 30 more', 1, NO_DESKTOP),
            ("days out of range", '"%(root)s" 400', 1, "ERROR: The Days parameter 400 must be 365 days or less."),
            ("a missing path", '"%(root)s\\nope" 30', 1,
             "ERROR: The Path parameter %s\\nope has a path that cannot be found or does not exist." % win(self.root)),
            ("the usage", "/?", 0, "Settings Read."),
            ("the job", '"%(root)s" 30', 0, "Finished."),
        ]
        for what, args, code, last in cases:
            with self.subTest(what):
                make_file(self.tree("old.txt"), 40)
                for name in ("VantrellActivity.log", "VantrellFiles.csv"):
                    if os.path.exists(self.program.path(name)):
                        os.remove(self.program.path(name))
                self.assertEqual(self.run_hidden(args), (code, last))
                self.assertEqual(os.path.exists(self.tree("old.txt")), code != 0 or what == "the usage")

    def test_a_directory_that_cannot_be_entered_is_passed_over_by_the_hidden_job(self):
        make_file(self.tree("a/old.txt"), 40)
        make_file(self.tree("b/old.txt"), 40)
        os.chmod(self.tree("b"), 0)
        self.addCleanup(os.chmod, self.tree("b"), 0o755)
        self.assertEqual(self.run_hidden('"%(root)s" 30'), (0, "Finished."))
        self.assertFalse(os.path.exists(self.tree("a/old.txt")))

    def test_a_csv_file_that_cannot_be_created_ends_the_hidden_job_with_code_2(self):
        make_file(self.tree("old.txt"), 40)
        csv = self.program.path("VantrellFiles.csv")
        holder = subprocess.Popen(["wine", HOLD, win(csv), "120"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(lambda: (holder.kill(), holder.wait()))
        wait_for(lambda: os.path.exists(csv + ".held"), 30, "the holder")
        code, last = self.run_hidden('"%(root)s" 30')
        self.assertEqual(code, 2)
        self.assertTrue(last.startswith('Cannot create file "%s"' % win(csv)), last)
        self.assertTrue(os.path.exists(self.tree("old.txt")))


class AskedToEnd(TreeTestCase):
    FILES = 12000

    def setUp(self):
        super().setUp()
        for i in range(self.FILES):
            make_file(self.tree("d%02d/f%04d.txt" % (i % 20, i)), 40)

    def remaining(self):
        return sum(len(files) for _, _, files in os.walk(self.root))

    def ended_early(self, result, reason):
        self.assertEqual((result.code, result.dialogs), (2, []))
        log = self.log_lines()
        self.assertEqual(log[-1], reason)
        self.assertNotIn("Finished.", log)
        self.assertGreater(self.remaining(), 0, "stopped before the last file")

    def test_a_close_request_during_the_deletion_ends_with_code_2(self):
        csv = self.program.path("VantrellFiles.csv")
        asked = []

        def close_once_deleting():
            if not asked and os.path.exists(csv):
                asked.append(subprocess.run(["wine", "taskkill", "/im", "Vantrell.exe"],
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

        result = self.program.run('"%s" 30' % win(self.root), while_running=close_once_deleting)
        self.assertTrue(asked, "the close was sent")
        self.ended_early(result, CLOSED)

    def test_the_end_of_the_session_during_the_deletion_ends_with_code_2(self):
        sender = subprocess.Popen(["wine", END_SESSION, win(self.program.path("VantrellFiles.csv"))],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(lambda: (sender.kill(), sender.wait()))
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual(sender.wait(timeout=30), 0, "the end allowed, then told")
        self.ended_early(result, SESSION)
