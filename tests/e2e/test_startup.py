"""Start-up, run modes and the log file, driven through the real command line."""
import struct
import unittest

from harness import Program, win

CRLF = b"\r\n"


class StartUp(unittest.TestCase):
    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.cleanup)

    def test_the_image_is_terminal_server_aware(self):
        # On a Remote Desktop host an image without the flag sees a per-user Windows folder.
        with open(self.program.exe, "rb") as f:
            image = f.read()
        header = struct.unpack_from("<I", image, 0x3C)[0]
        self.assertEqual(image[header:header + 4], b"PE\0\0")
        optional = header + 24
        characteristics = struct.unpack_from("<H", image, optional + 70)[0]
        self.assertTrue(characteristics & 0x8000, hex(characteristics))

    def test_help_switch_wins_keeps_the_csv_and_rewrites_the_log(self):
        p = self.program
        p.write("VantrellFiles.csv", b"old csv")
        p.write("VantrellActivity.log", b"old log")
        result = p.run('"%s" 30 /?' % win(p.dir))
        self.assertEqual(result.code, 0)
        self.assertEqual(result.dialogs, ["Information"])
        self.assertEqual(p.read("VantrellFiles.csv"), b"old csv")
        self.assertEqual(p.read("VantrellActivity.log"), b"Settings Read." + CRLF)

    def test_help_log_with_debug_ends_with_the_return_code(self):
        p = self.program
        p.write("Vantrell.ini", b"[Vantrell]\r\nDebug=1\r\n")
        result = p.run("-H")
        self.assertEqual(result.code, 0)
        directory = (win(p.dir) + "\\").encode()
        self.assertEqual(p.read("VantrellActivity.log"),
                         b"Settings Read.\r\nProgram Path = " + directory + CRLF +
                         b"Current Path = " + directory + CRLF + b"Return Code = 0" + CRLF)

    def test_each_parameter_error_is_logged_shown_and_ends_with_code_1(self):
        p = self.program
        here = win(p.dir)
        missing = here + "\\nope"
        cases = [
            ('"%s" 30' % missing, "ERROR: The Path parameter %s has a path that cannot be found or does not exist." % missing),
            ('"%s\\Vantrell.exe" 30' % here, "ERROR: The Path parameter %s\\Vantrell.exe has a path that cannot be found or does not exist." % here),
            ('"%s" 366' % here, "ERROR: The Days parameter 366 must be 365 days or less."),
            ('"%s" -1' % here, "ERROR: The Days parameter -1 must be a positive number."),
            ('"%s" 12x' % here, "ERROR: The Days parameter 12x is not a valid integer."),
            ('"%s" abc' % missing, "ERROR: The Path parameter %s has a path that cannot be found or does not exist." % missing),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                p.write("VantrellFiles.csv", b"kept")
                result = p.run(args)
                self.assertEqual(result.code, 1)
                self.assertEqual(result.dialogs, ["Error"])
                self.assertEqual(p.read("VantrellActivity.log"),
                                 b"Settings Read." + CRLF + message.encode() + CRLF)
                self.assertEqual(p.read("VantrellFiles.csv"), b"kept")

    def test_parameter_error_with_debug_logs_paths_and_return_code(self):
        p = self.program
        p.write("Vantrell.ini", b"[Vantrell]\r\nDebug=yes\r\n")
        self.assertEqual(p.run('"%s" 400' % win(p.dir)).code, 1)
        self.assertEqual(p.read("VantrellActivity.log"),
                         b"Settings Read.\r\nERROR: The Days parameter 400 must be 365 days or less.\r\n",
                         "Debug=yes is not a number: diagnostics stay off")
        p.write("Vantrell.ini", b"[Vantrell]\r\nDebug=2\r\n")
        self.assertEqual(p.run('"%s" 400' % win(p.dir)).code, 1)
        log = p.read("VantrellActivity.log").split(CRLF)
        self.assertEqual(log[0], b"Settings Read.")
        self.assertTrue(log[1].startswith(b"Program Path = "))
        self.assertTrue(log[2].startswith(b"Current Path = "))
        self.assertEqual(log[3:], [b"ERROR: The Days parameter 400 must be 365 days or less.",
                                   b"Return Code = 1", b""])

    def test_unattended_run_accepts_a_quoted_path_with_blanks_ending_in_a_backslash(self):
        import os
        p = self.program
        root = os.path.join(p.dir, "Old Files")
        os.mkdir(root)
        p.write("VantrellFiles.csv", b"stale")
        result = p.run('"%s\\" $1E' % win(root))
        self.assertEqual(result.code, 0)
        self.assertEqual(result.dialogs, [])
        log = p.read("VantrellActivity.log").decode().split("\r\n")
        self.assertEqual(log[0], "Searching path %s\\" % win(root))
        self.assertTrue(log[1].startswith("Looking for files older than 30 days (Created before "))
        self.assertEqual(log[-2], "Finished.")
        self.assertIsNone(p.read("VantrellFiles.csv"), "deleted at start, nothing found to write")


if __name__ == "__main__":
    unittest.main()
