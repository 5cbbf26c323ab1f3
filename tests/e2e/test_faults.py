"""Faults a deleting tool must survive: each ends with a documented return code, reports
what happened, and deletes nothing it had not reported."""
import os
import subprocess
import unittest

from harness import TreeTestCase, make_file, wait_for, win

HOLD = os.environ.get("HOLD_FILE_EXE", os.path.join(os.path.dirname(__file__), "..", "..", "build", "hold_file.exe"))


class Faults(TreeTestCase):
    def hold(self, path):
        """A second process holding the file open without delete sharing."""
        holder = subprocess.Popen(["wine", HOLD, win(path), "120"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(lambda: (holder.kill(), holder.wait()))
        wait_for(lambda: os.path.exists(path + ".held"), 30, "the holder")

    def test_a_file_held_open_by_another_process_is_reported_and_the_rest_deleted(self):
        for name in ("a.txt", "held.txt", "z.txt"):
            make_file(self.tree(name), 40)
        self.hold(self.tree("held.txt"))
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        log = self.log_lines()
        at = log.index("ERROR: Could not delete " + win(self.tree("held.txt")))
        self.assertRegex(log[at + 1], r"^REASON: \S.*[^.]$")
        self.assertIn("2 files deleted.", log)
        self.assertTrue(os.path.exists(self.tree("held.txt")))
        self.assertFalse(os.path.exists(self.tree("a.txt")))
        self.assertFalse(os.path.exists(self.tree("z.txt")))

    def test_a_locked_csv_file_stops_the_job_before_anything_is_deleted(self):
        make_file(self.tree("old.txt"), 40)
        self.hold(self.program.path("VantrellFiles.csv"))
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (2, ["Vantrell"]))
        self.assertTrue(os.path.exists(self.tree("old.txt")))
        self.assertRegex(self.log_lines()[-1], r'^Cannot create file "%s\\VantrellFiles\.csv"\. \S.*[^.]\.$'
                         % win(self.program.dir).replace("\\", "\\\\"))

    def test_a_log_file_that_cannot_be_replaced_stops_the_job_before_anything_is_deleted(self):
        # The log is written as the run goes: a run that cannot keep one does nothing.
        make_file(self.tree("old.txt"), 40)
        self.hold(self.program.path("VantrellActivity.log"))
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (2, ["Vantrell"]))
        self.assertTrue(os.path.exists(self.tree("old.txt")))
        self.assertIsNone(self.program.read("VantrellFiles.csv"))

    def test_a_file_removed_by_someone_else_before_delete_files(self):
        make_file(self.tree("gone.txt"), 40)
        make_file(self.tree("stays.txt"), 40)
        window, log = self.scan_change_delete(lambda: os.remove(self.tree("gone.txt")))
        self.assertRegex(self.deletion_reason(log, self.tree("gone.txt")), r"^REASON: \S")
        self.assertIn("1 files deleted.", log)
        self.assertEqual(window.close(), 0)

    def test_a_tree_deeper_than_the_path_limit_is_cleaned_with_the_rest(self):
        # The walk opens each directory relative to its parent: depth does not matter.
        deep = self.root
        for level in range(12):
            deep = os.path.join(deep, "level%d-" % level + "x" * 50)
        make_file(os.path.join(deep, "old.txt"), 40)
        make_file(os.path.join(deep, "new.txt"), 1)
        make_file(self.tree("shallow.txt"), 40)
        outside = os.path.join(self.program.dir, "outside.txt")
        make_file(outside, 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
        self.assertEqual(self.log_lines()[-1], "Finished.")
        self.assertIn("2 files deleted.", self.log_lines())
        self.assertFalse(os.path.exists(self.tree("shallow.txt")))
        self.assertFalse(os.path.exists(os.path.join(deep, "old.txt")))
        self.assertTrue(os.path.exists(os.path.join(deep, "new.txt")))
        self.assertTrue(os.path.exists(outside))
        self.assertGreater(max(len(p) for p in self.csv_paths()), 600)

    def test_names_outside_the_code_page_are_reached_through_their_short_names(self):
        make_file(self.tree("日本語の書類.txt"), 40)
        make_file(self.tree("Ελληνικά/αρχείο.txt"), 40)
        make_file(self.tree("plain.txt"), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertEqual(os.listdir(self.root), ["Ελληνικά"])
        self.assertEqual(os.listdir(self.tree("Ελληνικά")), [])
        paths = self.csv_paths()
        self.assertEqual(len(paths), 3)
        self.assertIn(win(self.tree("plain.txt")), paths)
        self.assertFalse(any("?" in p for p in paths), paths)
        self.assertIn("3 files deleted.", self.log_lines())


if __name__ == "__main__":
    unittest.main()
