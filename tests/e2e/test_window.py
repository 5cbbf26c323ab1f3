"""The window as a user drives it: Scan Now, Delete Files, Save Settings, closing."""
import os
import subprocess
import time
import unittest

from harness import BUILD, Program, Window, find_windows, make_file, wait_for, win

WINDOW_STATE = os.path.join(BUILD, "window_state.exe")


def window_state():
    """The main window as Windows sees it: (maximised, width, height, screen width, height)."""
    out = subprocess.run(["wine", WINDOW_STATE], capture_output=True, timeout=60).stdout.decode()
    zoomed, width, height, screen_width, screen_height = (int(v) for v in out.split())
    return bool(zoomed), width, height, screen_width, screen_height


class Interactive(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.cleanup)
        self.root = os.path.join(self.program.dir, "tree")
        make_file(os.path.join(self.root, "old.txt"), 50)
        make_file(os.path.join(self.root, "new.txt"), 1)
        self.program.write("Vantrell.ini", b"[Vantrell]\r\nDaysOld=20\r\nDrivePath=%s\r\n" % win(self.root).encode())

    def start(self):
        window = Window(self.program)
        self.addCleanup(window.kill)
        return window

    def log(self):
        return (self.program.read("VantrellActivity.log") or b"").decode("cp1252")

    def test_scan_then_delete_then_close(self):
        self.program.write("VantrellActivity.log", b"from an earlier run")
        self.program.write("VantrellFiles.csv", b"from an earlier run")
        window = self.start()
        wait_for(lambda: self.program.read("VantrellActivity.log") is None, 10, "the old log to go")
        self.assertIsNone(self.program.read("VantrellFiles.csv"))
        window.keys("space")  # Scan Now has the focus at start
        wait_for(lambda: self.log().endswith("Finished.\r\n"), 30, "the scan")
        self.assertIn("1 files older than 20 days.", self.log())
        self.assertIn(win(os.path.join(self.root, "old.txt")), self.program.read("VantrellFiles.csv").decode())
        window.keys("Tab", "space")  # Delete Files, enabled by the scan
        wait_for(lambda: "files deleted." in self.log(), 30, "the deletion")
        self.assertFalse(os.path.exists(os.path.join(self.root, "old.txt")))
        self.assertTrue(os.path.exists(os.path.join(self.root, "new.txt")))
        self.assertEqual(window.close(), 0)

    def test_a_maximised_start_stays_maximised_and_is_saved_so(self):
        self.program.write("Vantrell.ini", b"[Vantrell]\r\nDaysOld=20\r\nMaximized=1\r\n")
        window = self.start()
        time.sleep(2)  # Wine shrank such a window about a second after it opened
        zoomed, width, height, screen_width, screen_height = window_state()
        self.assertTrue(zoomed)
        self.assertGreaterEqual(width, screen_width, "it covers the screen")
        self.assertGreaterEqual(height, screen_height * 9 // 10)
        # About, Help, Close, the days field, Save Settings (disabled buttons are skipped).
        window.keys("Tab", "Tab", "Tab", "Tab", "Tab", "space")
        wait_for(lambda: b"Debug=0" in self.program.read("Vantrell.ini"), 10, "the save")
        self.assertIn(b"Maximized=1", self.program.read("Vantrell.ini"))
        self.assertEqual(window.close(), 0)

    def test_save_settings_writes_the_fields_and_a_read_only_file_is_reported(self):
        window = self.start()
        window.keys("alt+s")  # Stop is disabled: Alt+S reaches nothing ...
        # About, Help, Close, the days field, Save Settings (disabled buttons are skipped).
        window.keys("Tab", "Tab", "Tab", "Tab", "Tab", "space")
        wait_for(lambda: b"Maximized=0" in self.program.read("Vantrell.ini"), 10, "the save")
        ini = self.program.read("Vantrell.ini")
        # Keys already in the file keep their places; new ones follow them.
        self.assertEqual(ini, b"[Vantrell]\r\nDaysOld=20\r\nDrivePath=" + win(self.root).encode() +
                         b"\r\nDebug=0\r\nMaximized=0\r\n")
        os.chmod(self.program.path("Vantrell.ini"), 0o444)
        window.keys("space")
        window.answer("Vantrell")  # the general error report: "Unable to write to ..."
        self.assertEqual(self.program.read("Vantrell.ini"), ini)
        self.assertEqual(window.close(), 0)
        self.assertIsNone(self.program.read("VantrellActivity.log"), "closing writes nothing")

    def test_help_opens_and_closes_by_keyboard_at_every_showing(self):
        window = self.start()

        def press_until(keys, to, done, what):
            # A key that arrives while Wine is still settling the focus is lost: try again,
            # a few times, so only a window that stopped answering its keys fails.
            for _ in range(3):
                window.keys(*keys, to=to)
                try:
                    return wait_for(done, 3, what)
                except TimeoutError:
                    pass
            raise AssertionError(what)

        for showing in range(3):
            help_window = press_until(["alt+h"], None,
                                      lambda: (find_windows("Vantrell Help") or [None])[0],
                                      "Alt+H to show help, showing %d" % showing)
            press_until(["Next", "alt+c"], help_window, lambda: not find_windows("Vantrell Help"),
                        "Alt+C to close help, showing %d" % showing)
        self.assertEqual(window.close(), 0)

if __name__ == "__main__":
    unittest.main()
