"""Names and links a hostile user may create below the root of a scheduled job: each must
leave everything outside the root, and every file not listed, as it was."""
import os
import shutil
import threading
import time

from harness import TreeTestCase, make_file, win

# Wine turns Linux names into Windows ones through the locale: only a UTF-8 one shows them.
os.environ["LC_ALL"] = "C.UTF-8"


class HostileNames(TreeTestCase):
    def test_a_double_byte_name_ending_in_the_backslash_byte_keeps_its_delimiter(self):
        # Code page 932: "表" and "ソ" end in 0x5C, the byte of "\\".
        os.environ["LC_ALL"] = "ja_JP.UTF-8"
        self.addCleanup(os.environ.__setitem__, "LC_ALL", "C.UTF-8")
        make_file(self.tree("\u6210\u7e3e\u8868/2019.txt"), 40)
        make_file(self.tree("\u6210\u7e3e\u88682019.txt"), 1)  # what a byte-wise join would name
        make_file(self.tree("\u30bd/old.txt"), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertFalse(os.path.exists(self.tree("\u6210\u7e3e\u8868/2019.txt")))
        self.assertTrue(os.path.exists(self.tree("\u6210\u7e3e\u88682019.txt")))
        self.assertFalse(os.path.exists(self.tree("\u30bd/old.txt")))
        csv = self.program.read("VantrellFiles.csv").decode("cp932")
        self.assertIn('"%s\\\u6210\u7e3e\u8868\\2019.txt"' % win(self.root), csv)
        self.assertIn('"%s\\\u30bd\\old.txt"' % win(self.root), csv)

    def run_job(self):
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        paths = self.csv_paths()
        for path in paths:
            self.assertTrue(path.startswith(win(self.root) + "\\"), path)
            self.assertNotIn("\\..\\", path)
        return paths

    def test_lookalike_and_rewritten_names_never_name_another_file(self):
        outside = os.path.join(self.program.dir, "x")
        make_file(os.path.join(outside, "victim.txt"), 40)
        make_file(self.tree("a\uff3c..\uff3c..\uff3cx/inner.txt"), 40)
        make_file(self.tree("\u0141og.txt"), 40)
        make_file(self.tree("Log.txt"), 1)
        make_file(self.tree("report.txt."), 40)
        make_file(self.tree("report.txt"), 1)
        make_file(self.tree("notes.txt "), 40)
        make_file(self.tree("notes.txt"), 1)
        self.run_job()
        self.assertTrue(os.path.exists(os.path.join(outside, "victim.txt")))
        for new in ("Log.txt", "report.txt", "notes.txt"):
            self.assertTrue(os.path.exists(self.tree(new)), new)
        for old in ("\u0141og.txt", "report.txt.", "notes.txt ", "a\uff3c..\uff3c..\uff3cx/inner.txt"):
            self.assertFalse(os.path.exists(self.tree(old)), "reached by its short name: " + old)

    def test_a_directory_swapped_for_a_link_after_the_scan_keeps_the_target(self):
        outside = os.path.join(self.program.dir, "outside")
        for name in ("a.txt", "b.txt"):
            make_file(self.tree("d/" + name), 40)
            make_file(os.path.join(outside, name), 40)
        make_file(self.tree("top.txt"), 40)

        def swap():
            shutil.move(self.tree("d"), self.tree("moved"))
            os.symlink(outside, self.tree("d"))

        window, log = self.scan_change_delete(swap)
        self.assertEqual(sorted(os.listdir(outside)), ["a.txt", "b.txt"])
        self.assertFalse(os.path.exists(self.tree("top.txt")))
        for name in ("a.txt", "b.txt"):
            self.assertEqual(self.deletion_reason(log, self.tree("d/" + name)), "REASON: Path not found")
        self.assertIn("1 files deleted.", log)
        self.assertEqual(window.close(), 0)

    def test_a_directory_swapped_for_a_link_while_the_job_deletes_keeps_the_target(self):
        outside = os.path.join(self.program.dir, "outside")
        names = ["f%03d.txt" % i for i in range(200)]
        for name in names:
            make_file(self.tree("d/" + name), 40)
            make_file(os.path.join(outside, name), 40)
        for i in range(3000):  # rows of "a" come first: the swap lands before those of "d"
            make_file(self.tree("a/f%04d.txt" % i), 40)
        csv = self.program.path("VantrellFiles.csv")  # written between the scan and the deletion

        def swap_once_listed():
            deadline = time.time() + 60
            while not os.path.exists(csv) and time.time() < deadline:
                time.sleep(0.0005)
            shutil.move(self.tree("d"), self.tree("moved"))
            os.symlink(outside, self.tree("d"))

        watcher = threading.Thread(target=swap_once_listed)
        watcher.start()
        result = self.program.run('"%s" 30' % win(self.root))
        watcher.join(60)
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertEqual(sorted(os.listdir(outside)), names, "nothing outside the root is gone")
        self.assertEqual(sorted(os.listdir(self.tree("moved"))), names, "nor the listed files, moved")
        self.assertEqual(self.deletion_reason(self.log_lines(), self.tree("d/f000.txt")),
                         "REASON: Path not found")

    def test_a_file_written_after_the_scan_is_kept(self):
        make_file(self.tree("saved.txt"), 40)
        make_file(self.tree("old.txt"), 40)

        def save_again():
            with open(self.tree("saved.txt"), "ab") as f:
                f.write(b"a new version")

        window, log = self.scan_change_delete(save_again)
        self.assertTrue(os.path.exists(self.tree("saved.txt")))
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        self.assertEqual(self.deletion_reason(log, self.tree("saved.txt")), "REASON: File invalid")
        self.assertEqual(window.close(), 0)

    def test_a_relative_root_is_the_start_directorys_child(self):
        make_file(self.tree("old.txt"), 40)
        result = self.program.run('tree 30')
        self.assertEqual((result.code, result.dialogs), (0, []))
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        self.assertEqual(self.log_lines()[0], "Searching path tree")
