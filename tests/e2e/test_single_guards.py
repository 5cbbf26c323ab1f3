"""Changes between the scan and Delete Files that only one check of the program stops: each
test leaves that check as the only guard (the item stays old, keeps its name, and where it
can, its identity), so it fails when that check is taken out."""
import os
import shutil

from harness import TreeTestCase, age, make_file


class SingleGuards(TreeTestCase):
    def test_another_old_file_renamed_over_a_listed_one_is_kept(self):
        # Same name, old times, another identity: only the file identity check stops it.
        make_file(self.tree("a.txt"), 40, b"listed")
        make_file(self.tree("b.txt"), 40)
        stranger = os.path.join(self.program.dir, "stranger.txt")
        make_file(stranger, 40, b"someone else's")

        window, log = self.scan_change_delete(lambda: os.replace(stranger, self.tree("a.txt")))

        with open(self.tree("a.txt"), "rb") as f:
            self.assertEqual(f.read(), b"someone else's")
        self.assertEqual(self.deletion_reason(log, self.tree("a.txt")), "REASON: Path not found")
        self.assertFalse(os.path.exists(self.tree("b.txt")))
        self.assertIn("1 files deleted.", log)
        self.assertEqual(window.close(), 0)

    def test_a_new_old_empty_directory_in_a_listed_ones_place_is_kept(self):
        # Same name, old, empty: only the directory identity check of the removal stops it.
        make_file(self.tree("old.txt"), 40)
        os.mkdir(self.tree("empty"))
        age(self.tree("empty"), 40)

        def swap():
            os.rename(self.tree("empty"), self.tree("moved"))
            os.mkdir(self.tree("empty"))
            age(self.tree("empty"), 40)

        window, log = self.scan_change_delete(swap)
        self.assertTrue(os.path.isdir(self.tree("empty")), log)
        self.assertTrue(os.path.isdir(self.tree("moved")), "never listed under that name")
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        self.assertEqual(window.close(), 0)

    def test_a_listed_files_second_name_outside_survives_its_directory_becoming_a_link(self):
        # The file reached through the link is the listed file itself (a hard link, the same
        # identity, old): only the walk's check that each directory is the listed one stops it.
        outside = os.path.join(self.program.dir, "outside")
        os.mkdir(outside)
        make_file(self.tree("d/f.txt"), 40)
        os.link(self.tree("d/f.txt"), os.path.join(outside, "f.txt"))
        make_file(self.tree("top.txt"), 40)

        def swap():
            shutil.move(self.tree("d"), self.tree("moved"))
            os.symlink(outside, self.tree("d"))

        window, log = self.scan_change_delete(swap)
        self.assertTrue(os.path.exists(os.path.join(outside, "f.txt")), log)
        self.assertTrue(os.path.exists(self.tree("moved/f.txt")))
        self.assertFalse(os.path.exists(self.tree("top.txt")))
        self.assertIn("1 files deleted.", log)
        self.assertEqual(window.close(), 0)


if __name__ == "__main__":
    import unittest
    unittest.main()
