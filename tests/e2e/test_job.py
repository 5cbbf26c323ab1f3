"""The whole unattended job as a scheduler runs it: scan, CSV, deletion, empty directories."""
import os
import unittest

from harness import TreeTestCase, age, make_file, set_attributes, win


class UnattendedJob(TreeTestCase):
    def test_the_whole_job_and_its_exact_log(self):
        make_file(self.tree("old.txt"), 40)
        make_file(self.tree("new.txt"), 2)
        make_file(self.tree("Sub/old, too.txt"), 40)
        os.makedirs(self.tree("Empty/Deeper"))
        for d in ("Empty/Deeper", "Empty", "Sub"):
            age(self.tree(d), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        r = win(self.root)
        lines = self.log_lines()
        self.assertEqual(lines[0], "Searching path " + r)
        self.assertRegex(lines[1], r"^Looking for files older than 30 days \(Created before .+\)$")
        self.assertEqual(lines[2:], [
            "Searching...",
            "3 files found under " + r,
            "2 files older than 30 days.",
            "Deleting files...",
            "2 files deleted.",
            "Deleting empty directories...",
            "Deleted empty directory: %s\\Empty\\Deeper" % r,
            "1 empty directories deleted.",
            "Finished.",
            "Finished.",
        ])
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        self.assertFalse(os.path.exists(self.tree("Sub/old, too.txt")))
        self.assertTrue(os.path.exists(self.tree("new.txt")))
        self.assertTrue(os.path.isdir(self.tree("Empty")), "emptied in this run: fresh, kept")
        self.assertTrue(os.path.isdir(self.tree("Sub")))
        csv = self.program.read("VantrellFiles.csv").decode("cp1252").split("\r\n")
        self.assertEqual(csv[0], "File,Created,Modified,Accessed,Age (Days)")
        self.assertEqual([row.split('"')[1] for row in csv[1:-1]],
                         [r + "\\Empty\\Deeper\\", r + "\\old.txt", r + "\\Sub\\old, too.txt"])
        self.assertTrue(csv[2].endswith(",40"))
        self.assertEqual(csv[-1], "", "every line ends with CR LF")

    def test_debug_adds_the_csv_line_and_the_return_code(self):
        make_file(self.tree("old.txt"), 10)
        self.program.write("Vantrell.ini", b"[Vantrell]\r\nDebug=1\r\nMaximized=1\r\n")
        result = self.program.run('"%s" 5' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        lines = self.log_lines()
        csv_line = "Written to CSV file %s\\VantrellFiles.csv" % win(self.program.dir)
        self.assertEqual(lines.count(csv_line), 2, "after the scan and after the deletion")
        self.assertEqual(lines[-4:], ["Finished.", csv_line, "Finished.", "Return Code = 0"])

    def test_links_are_not_followed_and_what_they_point_to_is_untouched(self):
        outside = os.path.join(self.program.dir, "outside")
        make_file(os.path.join(outside, "precious.txt"), 400)
        os.makedirs(os.path.join(outside, "EmptyOld"))
        age(os.path.join(outside, "EmptyOld"), 400)
        os.symlink(outside, self.tree("link-out"))
        os.symlink(self.root, self.tree("loop"))
        make_file(self.tree("old.txt"), 400)
        result = self.program.run('"%s" 1' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertTrue(os.path.exists(os.path.join(outside, "precious.txt")))
        self.assertTrue(os.path.isdir(os.path.join(outside, "EmptyOld")))
        self.assertTrue(os.path.islink(self.tree("link-out")))
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        self.assertIn("1 files found under " + win(self.root), self.log_lines())

    def test_hidden_and_system_directories(self):
        make_file(self.tree("Hidden/old.txt"), 40)
        set_attributes(self.tree("Hidden"), 0x2)
        make_file(self.tree("System/old.txt"), 40)
        set_attributes(self.tree("System"), 0x4)
        os.makedirs(self.tree("HiddenEmpty"))
        set_attributes(self.tree("HiddenEmpty"), 0x2)
        make_file(self.tree("old.txt"), 40)  # the job goes on to deletion only when it found files
        for d in ("Hidden", "System", "HiddenEmpty"):
            age(self.tree(d), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual(result.code, 0)
        self.assertTrue(os.path.exists(self.tree("Hidden/old.txt")), "hidden directories are not entered")
        self.assertTrue(os.path.exists(self.tree("System/old.txt")))
        self.assertFalse(os.path.exists(self.tree("HiddenEmpty")), "an empty hidden old directory goes")
        self.assertIn("1 files found under " + win(self.root), self.log_lines())

    def test_an_unwritable_program_directory_reports_and_ends_with_code_2(self):
        make_file(self.tree("old.txt"), 40)
        make_file(self.tree("later.txt"), 40)
        os.chmod(self.program.dir, 0o555)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual(result.code, 2)
        self.assertEqual(result.dialogs, ["Vantrell"])
        self.assertTrue(os.path.exists(self.tree("old.txt")), "nothing deleted before the CSV was written")
        self.assertTrue(os.path.exists(self.tree("later.txt")))

    def test_a_subdirectory_that_cannot_be_entered_is_passed_over(self):
        # One user's closed directory must not veto the cleanup of everyone else's.
        make_file(self.tree("a/old.txt"), 40)
        make_file(self.tree("b/old.txt"), 40)
        make_file(self.tree("c/old.txt"), 40)
        os.chmod(self.tree("b"), 0)
        self.addCleanup(os.chmod, self.tree("b"), 0o755)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertFalse(os.path.exists(self.tree("a/old.txt")))
        self.assertFalse(os.path.exists(self.tree("c/old.txt")))
        os.chmod(self.tree("b"), 0o755)
        self.assertTrue(os.path.exists(self.tree("b/old.txt")))
        lines = self.log_lines()
        at = lines.index("ERROR: Cannot enter directory %s\\b" % win(self.root))
        self.assertEqual(lines[at + 1], "REASON: Access denied")
        self.assertIn("2 files deleted.", lines)
        self.assertEqual(lines[-1], "Finished.")

if __name__ == "__main__":
    unittest.main()
