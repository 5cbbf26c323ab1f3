"""The program's own records (log, CSV file, settings) against a user below the root who
swaps them for links, a run ended at any moment, and a second run of the same installation."""
import csv
import glob
import io
import os
import subprocess

from harness import LOG, TreeTestCase, Window, make_file, start, stop, wait_for, win

HERE = os.path.dirname(__file__)
BUILD = os.path.join(HERE, "..", "..", "build")
HOLD = os.environ.get("HOLD_FILE_EXE", os.path.join(BUILD, "hold_file.exe"))
HIDDEN = os.environ.get("HIDDEN_STATION_EXE", os.path.join(BUILD, "hidden_station.exe"))
CSV = "VantrellFiles.csv"
INI = "Vantrell.ini"


class Records(TreeTestCase):
    def old_files(self, count, days=40):
        for i in range(count):
            make_file(self.tree("d%02d/f%05d.txt" % (i % 20, i)), days)

    def remaining(self):
        return sum(len(files) for _, _, files in os.walk(self.root))

    def leftovers(self):
        """New files of the program's that never took their place."""
        return glob.glob(os.path.join(self.program.dir, "*.new"))

    def victim(self, name):
        path = os.path.join(self.program.scratch, name)
        with open(path, "wb") as f:
            f.write(b"not the program's\n")
        return path

    def test_links_to_other_files_are_replaced_never_written_through(self):
        self.old_files(6000)
        victims = {name: self.victim(name + ".victim") for name in (LOG, CSV, INI)}
        for name, target in victims.items():
            os.symlink(target, self.program.path(name))
        swapped = []

        def swap_once_the_list_is_written():
            # The moment the issue was seen: the CSV file there, the deletion under way.
            if swapped or not os.path.isfile(self.program.path(CSV)) or os.path.islink(self.program.path(CSV)):
                return
            for name in (LOG, CSV):
                swap = self.program.path("swap.tmp")
                os.symlink(victims[name], swap)
                os.replace(swap, self.program.path(name))
            swapped.append(True)

        result = self.program.run('"%s" 30' % win(self.root), while_running=swap_once_the_list_is_written)
        self.assertEqual((result.code, result.dialogs), (0, []))
        for name, target in victims.items():
            with open(target, "rb") as f:
                self.assertEqual(f.read(), b"not the program's\n", name)
        self.assertFalse(os.path.islink(self.program.path(CSV)), "the last list replaced the link")
        self.assertEqual(self.remaining(), 0)
        self.assertEqual(self.leftovers(), [])

    def test_the_program_never_lists_its_own_files_whatever_the_root(self):
        self.program.write(INI, b"[Vantrell]\r\nDaysOld=7\r\n[Mine]\r\nkeep=1\r\n")
        for name in (INI, LOG, CSV, "Vantrell.exe"):
            if not os.path.exists(self.program.path(name)):
                self.program.write(name, b"old")
            make_file(self.program.path(name), 400, content=self.program.read(name))
        os.link(self.program.path(INI), self.tree("second-name.ini"))
        make_file(self.tree("old.txt"), 400)
        result = self.program.run('"%s" 30' % win(self.program.dir))
        self.assertEqual((result.code, result.dialogs), (0, []), self.log_lines())
        self.assertEqual(self.program.read(INI), b"[Vantrell]\r\nDaysOld=7\r\n[Mine]\r\nkeep=1\r\n")
        self.assertTrue(os.path.exists(self.program.exe))
        self.assertTrue(os.path.exists(self.tree("second-name.ini")), "a second name is the same file")
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        listed = [row[0] for row in csv.reader(io.StringIO(self.program.read(CSV).decode("cp1252")))][1:]
        self.assertEqual(listed, [win(self.tree("old.txt"))])
        self.assertNotIn("ERROR", " ".join(self.log_lines()))

    def test_a_run_killed_while_it_deletes_leaves_the_log_of_what_it_did(self):
        self.old_files(12000)
        killed = []

        def kill_once_deleting():
            log = self.program.read(LOG) or b""
            if not killed and b"Deleting files..." in log:
                killed.append(subprocess.run(["pkill", "-KILL", "-f", os.path.basename(self.program.dir)]))

        self.program.run('"%s" 30' % win(self.root), while_running=kill_once_deleting)
        self.assertTrue(killed, "the run was killed")
        lines = self.log_lines()
        self.assertEqual(lines[0], "Searching path " + win(self.root))
        self.assertIn("12000 files older than 30 days.", lines)
        self.assertEqual(lines[-1], "Deleting files...")
        self.assertLess(self.remaining(), 12000 + 1)
        self.assertEqual(len(self.csv_paths()), 12000, "the list was whole before the deletion")
        self.assertEqual(self.leftovers(), [])

    def test_a_second_run_of_the_installation_touches_none_of_the_first_runs_files(self):
        other = os.path.join(self.program.scratch, "other")
        make_file(os.path.join(other, "old.txt"), 40)
        make_file(self.tree("old.txt"), 40)
        self.program.write(INI, b"[Vantrell]\r\nDrivePath=%s\r\n" % win(self.root).encode())
        window = Window(self.program)
        self.addCleanup(window.kill)
        window.keys("space")
        wait_for(lambda: self.log_lines()[-1:] == ["Finished."], 30, "the window's scan")
        # A job meanwhile, where no one sees it (as the scheduler starts it): it refuses.
        records = {name: self.program.read(name) for name in (LOG, CSV, INI)}
        job = self.program.run('"%s" 30' % win(other), timeout=60, answer=False, launcher=HIDDEN)
        self.assertEqual((job.code, job.dialogs), (2, []), "the job refuses")
        self.assertEqual({name: self.program.read(name) for name in records}, records)
        self.assertTrue(os.path.exists(os.path.join(other, "old.txt")))

        window.keys("Tab", "space")  # Delete Files in the first window, undisturbed
        wait_for(lambda: "Finished." in self.log_lines()[-1:] and "Deleting files..." in self.log_lines(),
                 30, "the deletion")

        # A second window meanwhile tells the user and ends.
        records = {name: self.program.read(name) for name in (LOG, CSV, INI)}
        with open(os.path.join(self.program.scratch, "second.bat"), "w", newline="") as f:
            f.write('@"%s"\r\n@exit /b %%errorlevel%%\r\n' % win(self.program.exe))
        second = start(os.path.join(self.program.scratch, "second.bat"), self.program.dir)
        self.addCleanup(stop, second)
        window.answer("Error", timeout=30)
        self.assertEqual(second.wait(timeout=30), 2)
        self.assertEqual({name: self.program.read(name) for name in records}, records)
        self.assertFalse(os.path.exists(self.tree("old.txt")))
        # Its code is not looked at: under Wine a window whose program also ran on a hidden
        # window station ends with 49, whatever that run did (the usage alone does it too).
        window.close()
        again = self.program.run('"%s" 30' % win(other))
        self.assertEqual((again.code, again.dialogs), (0, []), "the lock went with the window")

    def test_a_csv_file_held_open_during_delete_files_leaves_every_deletion_in_the_log(self):
        for name in ("a.txt", "b.txt"):
            make_file(self.tree(name), 40)
        self.program.write(INI, b"[Vantrell]\r\nDrivePath=%s\r\n" % win(self.root).encode())
        window = Window(self.program)
        self.addCleanup(window.kill)
        window.keys("space")
        wait_for(lambda: self.log_lines()[-1:] == ["Finished."], 30, "the scan")
        csv_path = self.program.path(CSV)
        holder = subprocess.Popen(["wine", HOLD, win(csv_path), "120"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(lambda: (holder.kill(), holder.wait()))
        wait_for(lambda: os.path.exists(csv_path + ".held"), 30, "the holder")
        window.keys("Tab", "space")
        window.answer("Vantrell", timeout=30)
        lines = self.log_lines()
        at = lines.index("Deleting files...")
        self.assertEqual(lines[at + 1:at + 5], ["2 files deleted.", "Deleting empty directories...",
                                                "0 empty directories deleted.", "Finished."])
        self.assertTrue(lines[-1].startswith('Cannot create file "%s". ' % win(csv_path)), lines[-1])
        self.assertEqual(self.remaining(), 0)
        self.assertEqual(window.close(), 0)

    def test_every_csv_row_keeps_five_fields_with_a_comma_in_the_short_date(self):
        key = "HKCU\\Control Panel\\International"
        query = subprocess.run(["wine", "reg", "query", key, "/v", "sShortDate"],
                               capture_output=True, text=True).stdout
        before = [line.split("REG_SZ")[1].strip() for line in query.splitlines() if "REG_SZ" in line]
        subprocess.run(["wine", "reg", "add", key, "/v", "sShortDate", "/t", "REG_SZ", "/d",
                        "ddd, d MMM yyyy", "/f"], capture_output=True, check=True)
        if before:
            self.addCleanup(subprocess.run, ["wine", "reg", "add", key, "/v", "sShortDate", "/t",
                                             "REG_SZ", "/d", before[0], "/f"], capture_output=True)
        else:
            self.addCleanup(subprocess.run, ["wine", "reg", "delete", key, "/v", "sShortDate", "/f"],
                            capture_output=True)
        make_file(self.tree("a.txt"), 40)
        make_file(self.tree("b, c.txt"), 50)
        result = self.program.run('"%s" 30' % win(self.root))
        self.assertEqual((result.code, result.dialogs), (0, []))
        rows = list(csv.reader(io.StringIO(self.program.read(CSV).decode("cp1252"))))
        self.assertEqual(rows[0], ["File", "Created", "Modified", "Accessed", "Age (Days)"])
        self.assertEqual([len(row) for row in rows], [5, 5, 5])
        self.assertEqual([row[0] for row in rows[1:]], [win(self.tree("a.txt")), win(self.tree("b, c.txt"))])
        self.assertRegex(rows[1][1], r"^\w{3}, \d+ \w{3} \d{4}", "the regional date, comma and all")
        self.assertEqual(rows[2][4], "50")
