"""The windows at other screen resolutions. Wine takes the resolution from the registry
value LogPixels when its server starts, so the window tests that check layouts run again in
Wine prefixes of their own set to 120, 144 and 192 dots per inch, each told the resolution
it must see (VANTRELL_EXPECTED_DPI), so that none can pass at 96 by mistake."""
import os
import re
import shutil
import subprocess
import unittest

from harness import BUILD, resolution_prefix, with_resolution

UI_TESTS = os.path.join(BUILD, "ui_tests.exe")
LAYOUT_TESTS = ("WindowFixture.LaysOutTheDesignScaledByItsResolution:"
                "WindowFixture.AMoveToAScreenOfAnotherResolutionLaysItOutAgain:"
                "DialogResolution.*")
NO_TEXT_CUT = "WindowFixture.NoTextIsCutAndNoControlCoversAnother"


def run_ui_tests(prefix, dpi, gtest_filter, extra_env=None):
    env = dict(os.environ, WINEPREFIX=prefix, VANTRELL_EXPECTED_DPI=str(dpi), **(extra_env or {}))
    try:
        run = subprocess.run(["wine", UI_TESTS, "--gtest_filter=" + gtest_filter],
                             env=env, cwd=BUILD, capture_output=True, timeout=300)
    finally:
        subprocess.run(["wineserver", "-k"], env=env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    output = run.stdout.decode(errors="replace")
    passed = re.search(r"\[  PASSED  \] (\d+) tests?", output)
    return run.returncode, int(passed.group(1)) if passed else 0, output


class Resolution(unittest.TestCase):
    def test_registry_value_is_set_in_each_resolution_key(self):
        registry = ("[Control Panel\\\\Desktop] 1\n#time=1\n\"LogPixels\"=dword:00000060\n\n"
                    "[Other] 2\n\"LogPixels\"=dword:00000060\n")
        changed = with_resolution(registry, 144)
        self.assertEqual(changed.count('"LogPixels"=dword:00000090'), 1)
        self.assertIn('[Other] 2\n"LogPixels"=dword:00000060', changed)

    def test_windows_lay_out_their_design_scaled_at_each_resolution(self):
        for dpi in (120, 144, 192):
            with self.subTest(dpi=dpi):
                prefix = resolution_prefix(dpi)
                code, passed, output = run_ui_tests(prefix, dpi, LAYOUT_TESTS + ":" + NO_TEXT_CUT)
                self.assertEqual(code, 0, output[-3000:])
                self.assertEqual(passed, 6, output[-3000:])
                shutil.rmtree(prefix, ignore_errors=True)

    def test_no_text_is_cut_in_the_fallback_font_at_144_dpi(self):
        """Without Wine's fonts "MS Sans Serif" falls back to a wider face: labels grow and
        push what follows them, buttons and columns widen; the test also checks that the
        font there is really wider than the design, so it cannot pass vacuously."""
        prefix = resolution_prefix(144, wine_fonts=False)
        code, passed, output = run_ui_tests(prefix, 144, NO_TEXT_CUT,
                                            {"VANTRELL_WIDER_FONT": "1"})
        self.assertEqual(code, 0, output[-3000:])
        self.assertEqual(passed, 1, output[-3000:])
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
