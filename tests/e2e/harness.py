"""Runs Vantrell.exe under Wine as a user or a scheduler would: a fresh program directory
per test, an exact Windows command line, its modal dialogs answered with Enter."""
import os
import signal
import shutil
import subprocess
import tempfile
import time
import unittest

EXE = os.environ.get("VANTRELL_EXE", os.path.join(os.path.dirname(__file__), "..", "..", "build", "Vantrell.exe"))
BUILD = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "build"))
DIALOG_CAPTIONS = ("Error", "Information", "Vantrell")
LOG = "VantrellActivity.log"


def win(path):
    """The Windows form of a Linux path (Wine maps / to Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def set_attributes(path, bits):
    """Hidden (2) and system (4) bits as Wine keeps them."""
    os.setxattr(path, "user.DOSATTRIB", b"0x%x" % bits)


def age(path, days):
    when = time.time() - days * 86400
    os.utime(path, (when, when), follow_symlinks=False)


def make_file(path, days, content=b"x"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(content)
    age(path, days)


# The registry keys that hold the resolution: the desktop's, and the fonts' two.
RESOLUTION_KEYS = ("[Control Panel\\\\Desktop]", "[Software\\\\Wine\\\\Fonts]",
                   "[System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts]")

def with_resolution(registry, dpi):
    """The registry file's text with LogPixels set to `dpi` in each resolution key present."""
    value = '"LogPixels"=dword:%08x' % dpi
    lines, out, section = registry.split("\n"), [], None
    for line in lines:
        if line.startswith("["):
            section = line.split("]")[0] + "]"
            out.append(line)
            if section in RESOLUTION_KEYS:
                out.append(value)  # before the old value, which is then dropped
            continue
        if section in RESOLUTION_KEYS and line.startswith('"LogPixels"='):
            continue
        out.append(line)
    return "\n".join(out)

def resolution_prefix(dpi, wine_fonts=True):
    """A prefix sharing the suite's drive C: and with a registry of its own at `dpi`.
    Without `wine_fonts` its font folder is empty, as in a prefix where Wine does not find
    its own fonts, so the windows are drawn in the wider fallback font."""
    source = os.environ["WINEPREFIX"]
    path = os.path.join(BUILD, "wineprefix-%d%s" % (dpi, "" if wine_fonts else "-nofonts"))
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(os.path.join(path, "dosdevices"))
    for name in ("system.reg", "user.reg", "userdef.reg", ".update-timestamp"):
        with open(os.path.join(source, name), encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        if name.endswith(".reg"):
            text = with_resolution(text, dpi)
        with open(os.path.join(path, name), "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(text)
    if wine_fonts:
        os.symlink(os.path.join(source, "drive_c"), os.path.join(path, "drive_c"))
    else:
        # Everything shared but the font folder: links to each entry, one level down.
        for folder, skip in (("drive_c", "windows"), ("drive_c/windows", "Fonts")):
            os.makedirs(os.path.join(path, folder))
            for name in os.listdir(os.path.join(source, folder)):
                if name != skip:
                    os.symlink(os.path.join(source, folder, name), os.path.join(path, folder, name))
        os.makedirs(os.path.join(path, "drive_c", "windows", "Fonts"))
    os.symlink("../drive_c", os.path.join(path, "dosdevices", "c:"))
    os.symlink("/", os.path.join(path, "dosdevices", "z:"))
    return path


class Result:
    def __init__(self, code, dialogs):
        self.code = code
        self.dialogs = dialogs


class Program:
    """One copy of the program in a temporary program directory."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="vantrell-e2e-")
        self.exe = os.path.join(self.dir, "Vantrell.exe")
        shutil.copy(EXE, self.exe)
        self.scratch = tempfile.mkdtemp(prefix="vantrell-e2e-run-")

    def cleanup(self):
        subprocess.run(["chmod", "-R", "u+w", self.dir], check=False)
        shutil.rmtree(self.dir, ignore_errors=True)
        shutil.rmtree(self.scratch, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def run(self, args="", timeout=90, answer=True, while_running=None, launcher=None):
        """Runs `Vantrell.exe <args>` with exactly that command line, through `launcher` when
        one is given; answers each dialog with Enter (unless answer is False) and returns
        the code and the dialogs' captions."""
        # The batch file lives apart, so the program directory itself may be made read-only.
        bat = os.path.join(self.scratch, "run.bat")
        with open(bat, "w", newline="") as f:
            program = '"%s" "%s"' % (win(launcher), win(self.exe)) if launcher else '"%s"' % win(self.exe)
            f.write('@%s %s\r\n@exit /b %%errorlevel%%\r\n' % (program, args))
        # Under wine64, cmd now and then fails to start the program at all ("Can't recognize
        # ... as an internal or external command", or a bare failure code). The program is
        # a GUI program that prints nothing and writes its log at every end, so a run with
        # console output, or a failure without a dialog or a log, never ran: start it again.
        # A fault that repeats is still reported by the last try.
        for _ in range(3):
            result = self.run_once(bat, timeout, answer, while_running)
            with open(self.scratch_output, "rb") as f:
                printed = f.read().strip()
            never_ran = result.code != 0 and not result.dialogs and self.read(LOG) is None
            if not printed and not never_ran:
                return result
        return result

    def run_once(self, bat, timeout, answer, while_running):
        self.scratch_output = os.path.join(self.scratch, "cmd-output.txt")
        with open(self.scratch_output, "wb") as output:
            process = start(bat, self.dir, output)
        dialogs = []
        answered = set()  # a closed window stays findable for a moment
        deadline = time.time() + timeout
        try:
            while process.poll() is None:
                if time.time() > deadline:
                    raise TimeoutError("Vantrell did not end within %d s (dialogs: %s)" % (timeout, dialogs))
                if while_running:
                    while_running()
                if answer:
                    for caption in DIALOG_CAPTIONS:
                        for window in find_windows(caption):
                            if window in answered:
                                continue
                            answered.add(window)
                            dialogs.append(caption)
                            press_enter(window)
                            time.sleep(0.5)
                time.sleep(0.2)
        finally:
            stop(process)
        return Result(process.returncode, dialogs)


def start(bat, cwd, output=subprocess.DEVNULL):
    # A session of its own, so that a test that fails can end the program it started too.
    return subprocess.Popen(["wine", "cmd", "/c", win(bat)], cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=output, stderr=subprocess.DEVNULL,
                            start_new_session=True)


def stop(process):
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def find_windows(caption):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % caption],
                         capture_output=True, text=True).stdout
    return out.split()


def press_enter(window):
    subprocess.run(["xdotool", "windowfocus", window], capture_output=True)
    time.sleep(0.2)
    subprocess.run(["xdotool", "key", "Return"], capture_output=True)


class Window:
    """The program started interactively, driven by the keyboard as a user drives it."""

    def __init__(self, program, args="", timeout=30):
        self.program = program
        bat = os.path.join(program.scratch, "run.bat")
        with open(bat, "w", newline="") as f:
            f.write('@"%s" %s\r\n@exit /b %%errorlevel%%\r\n' % (win(program.exe), args))
        before = set(find_windows("Vantrell"))
        self.process = start(bat, program.dir)
        self.id = wait_for(lambda: next((w for w in find_windows("Vantrell") if w not in before), None),
                           timeout, "the main window")

    def keys(self, *keys, to=None):
        """Types the keys into this window, or into another of the program's windows."""
        subprocess.run(["xdotool", "windowfocus", to or self.id], capture_output=True)
        time.sleep(0.2)
        for key in keys:
            subprocess.run(["xdotool", "key", key], capture_output=True)
            time.sleep(0.2)

    def dialogs(self, caption):
        return [w for w in find_windows(caption) if w != self.id]

    def answer(self, caption, timeout=10):
        """Waits for a dialog with that caption, answers it with Enter, waits for it to go."""
        dialog = wait_for(lambda: (self.dialogs(caption) or [None])[0], timeout, caption)
        subprocess.run(["xdotool", "windowfocus", dialog], capture_output=True)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "Return"], capture_output=True)
        wait_for(lambda: dialog not in self.dialogs(caption), timeout, "the dialog to close")

    def close(self, timeout=30):
        """Alt+F4, as a user closes it; a key that arrives while Wine is still settling the
        focus after a dialog is lost, so it is pressed again until the program ends."""
        deadline = time.time() + timeout
        try:
            while time.time() < deadline:
                self.keys("alt+F4")
                try:
                    return self.process.wait(3)
                except subprocess.TimeoutExpired:
                    pass
            raise TimeoutError("the window did not close")
        finally:
            stop(self.process)

    def kill(self):
        stop(self.process)


def wait_for(probe, timeout, what):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.2)
    raise TimeoutError("waited %d s for %s" % (timeout, what))


class TreeTestCase(unittest.TestCase):
    """A fresh program directory with an empty tree "tree" in it, and readers of what the
    program wrote."""

    def setUp(self):
        self.program = Program()
        self.addCleanup(self.program.cleanup)
        self.root = os.path.join(self.program.dir, "tree")
        os.mkdir(self.root)

    def tree(self, relative):
        return os.path.join(self.root, relative)

    def log_lines(self):
        return (self.program.read("VantrellActivity.log") or b"").decode("cp1252").split("\r\n")[:-1]

    def scan_change_delete(self, change):
        """Scans the tree in the window, lets `change` act between the scan and Delete Files,
        then deletes; returns the still open window and the log."""
        self.program.write("Vantrell.ini", b"[Vantrell]\r\nDrivePath=%s\r\n" % win(self.root).encode())
        window = Window(self.program)
        self.addCleanup(window.kill)
        window.keys("space")
        # The log grows as the scan goes: its end is the scan's "Finished.".
        wait_for(lambda: self.log_lines()[-1:] == ["Finished."], 30, "the scan")
        change()
        window.keys("Tab", "space")
        wait_for(lambda: "Finished." in self.log_lines()[-1:] and "Deleting files..." in self.log_lines(),
                 30, "the deletion")
        return window, self.log_lines()

    def deletion_reason(self, log, path):
        """The REASON line after the failed deletion of `path` (a Linux path)."""
        return log[log.index("ERROR: Could not delete " + win(path)) + 1]

    def csv_paths(self):
        csv = self.program.read("VantrellFiles.csv") or b""
        return [line.split(b'"')[1].decode("cp1252") for line in csv.split(b"\r\n")[1:-1]]
