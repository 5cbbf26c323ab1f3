"""What a user who may create anything below the root of a scheduled job could use to switch
a run off, reach outside the root, or have the program report what did not happen."""
import os
import stat
import unittest

from harness import TreeTestCase, make_file, win

# Wine turns Linux names into Windows ones through the locale: only a UTF-8 one shows them.
os.environ["LC_ALL"] = "C.UTF-8"

DEVICE_DIRECTORIES = ["CON", "nul", "Aux", "COM1", "lpt1", "PRN"]
DEVICE_FILES = ["nul.txt", "CON", "com1.log", "AUX"]


class Levers(TreeTestCase):
    def test_device_names_neither_end_the_run_nor_escape_the_cleanup(self):
        # Reached relative to their directory's handle, such names mean no device: every
        # old file goes whatever its name, and the list shows it as the system lists it.
        for name in DEVICE_DIRECTORIES:
            make_file(self.tree(name + "/inner.txt"), 40)
        make_file(self.tree("files/placeholder"), 1)
        for name in DEVICE_FILES:
            make_file(self.tree("files/" + name), 40)
        make_file(self.tree("a.txt"), 40)
        make_file(self.tree("sub/b.txt"), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
        self.assertFalse(os.path.exists(self.tree("a.txt")), "the other old files go")
        self.assertFalse(os.path.exists(self.tree("sub/b.txt")))
        for name in DEVICE_DIRECTORIES:
            self.assertFalse(os.path.exists(self.tree(name + "/inner.txt")), name)
        for name in DEVICE_FILES:
            self.assertFalse(os.path.exists(self.tree("files/" + name)), name)
        self.assertTrue(os.path.exists(self.tree("files/placeholder")))
        lines = self.log_lines()
        self.assertEqual(lines[-1], "Finished.")
        self.assertFalse([line for line in lines if line.startswith("ERROR")], lines)
        self.assertIn("12 files deleted.", lines)
        self.assertEqual(self.program.read("VantrellFiles.csv").count(b"\r\n"), 1 + 12)

    def test_a_read_only_file_outside_the_root_keeps_its_mode_through_a_link(self):
        outside = os.path.join(self.program.dir, "outside")
        make_file(os.path.join(outside, "victim.txt"), 40)
        os.chmod(os.path.join(outside, "victim.txt"), 0o444)
        os.link(os.path.join(outside, "victim.txt"), self.tree("link.txt"))
        make_file(self.tree("plain.txt"), 40)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        victim = os.stat(os.path.join(outside, "victim.txt"))
        self.assertEqual(stat.S_IMODE(victim.st_mode), 0o444)
        self.assertFalse(os.path.exists(self.tree("plain.txt")))
        if os.path.exists(self.tree("link.txt")):
            self.assertEqual(self.deletion_reason(self.log_lines(), self.tree("link.txt")),
                             "REASON: Access denied")
            self.assertIn("1 files deleted.", self.log_lines())

    def test_a_root_that_cannot_be_read_ends_the_run_early(self):
        make_file(self.tree("old.txt"), 40)
        os.chmod(self.root, 0o311)  # it can be passed through, not read
        self.addCleanup(os.chmod, self.root, 0o755)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (2, ["Vantrell"]))
        lines = self.log_lines()
        # Under Wine the root cannot even be made current; where it can but cannot be
        # opened, the line reads 'Cannot open directory "<root>". <reason>.'
        self.assertIn(lines[-1], ("File access denied.",
                                  'Cannot open directory "%s". Access denied.' % win(self.root)))
        self.assertFalse(any(line.endswith(" files found under " + win(self.root)) for line in lines))
        self.assertIsNone(self.program.read("VantrellFiles.csv"))
        self.assertTrue(os.path.exists(self.tree("old.txt")))

if __name__ == "__main__":
    unittest.main()
