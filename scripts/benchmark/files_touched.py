"""Which source files a Scan Now and a scheduled run pass through, by gcov line counts of a
coverage build: the scheduled run counts every file with a line run; Scan Now counts the
files whose counts grow between a start-and-close and a start-scan-close. Not part of the
test run. Make the coverage build of a checkout first, then run this under the build's
Wine settings (scripts/build.sh exports them) with a display:

  cmake -S SRC -B SRC/b -DCMAKE_TOOLCHAIN_FILE=SRC/cmake/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=OFF -DCMAKE_CXX_FLAGS="--coverage -O0" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage && cmake --build SRC/b --target Vantrell
  python3 scripts/benchmark/files_touched.py SRC/b SRC

Under Wine the program writes its .gcda files to the build's Linux paths (drive Z:)."""
import glob, json, os, shutil, subprocess, sys, time, gzip
build, src = sys.argv[1], sys.argv[2]
os.environ["VANTRELL_EXE"] = os.path.join(build, "Vantrell.exe")
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import harness

def clear():
    for f in glob.glob(build + "/**/*.gcda", recursive=True):
        os.remove(f)

def counts():
    """{source: {line: count}} from the .gcda files now present."""
    out = {}
    work = os.path.join(build, "gcov-work")
    shutil.rmtree(work, ignore_errors=True); os.makedirs(work)
    for gcda in glob.glob(build + "/**/*.gcda", recursive=True):
        r = subprocess.run(["x86_64-w64-mingw32-gcov", "-j", "-o", os.path.dirname(gcda), gcda],
                           cwd=work, capture_output=True)
    for gz in glob.glob(work + "/*.gcov.json.gz"):
        data = json.load(gzip.open(gz))
        for f in data["files"]:
            name = os.path.relpath(os.path.abspath(os.path.join(src, f["file"])) if not os.path.isabs(f["file"]) else f["file"], src)
            if name.startswith("..") or name.startswith("build") or name.startswith("b/"):
                continue
            lines = out.setdefault(name, {})
            for l in f["lines"]:
                lines[l["line_number"]] = lines.get(l["line_number"], 0) + l["count"]
    return out

def touched(c):
    return {f for f, lines in c.items() if any(v > 0 for v in lines.values())}

def tree(root):
    os.makedirs(os.path.join(root, "a", "b"))
    for i in range(5):
        harness.make_file(os.path.join(root, "a", "old%d.txt" % i), 40)
        harness.make_file(os.path.join(root, "a", "b", "new%d.txt" % i), 1)
    os.makedirs(os.path.join(root, "empty")); harness.age(os.path.join(root, "empty"), 40)

# The scheduled run.
clear()
p = harness.Program(); root = os.path.join(p.dir, "tree"); tree(root)
res = p.run('"%s" 30' % harness.win(root))
sched = touched(counts()); p.cleanup()
# Start and close; then start, Scan Now, close.
def interactive(scan):
    clear()
    p = harness.Program(); root = os.path.join(p.dir, "tree"); tree(root)
    p.write("Vantrell.ini", b"[Vantrell]\r\nDrivePath=%s\r\n" % harness.win(root).encode())
    w = harness.Window(p)
    if scan:
        w.keys("space")
        harness.wait_for(lambda: (p.read("VantrellActivity.log") or b"").endswith(b"Finished.\r\n"), 60, "scan")
    w.close(); time.sleep(1)
    c = counts(); p.cleanup(); return c
idle = interactive(False)
scan = interactive(True)
grew = sorted(f for f in scan if any(v > idle.get(f, {}).get(l, 0) for l, v in scan[f].items()))
def split(files):
    return len(files), len([f for f in files if f.endswith(".cpp")]), len([f for f in files if f.endswith(".h")])
print("scheduled run: code %s; files %d (cpp %d, h %d)" % ((res.code,) + split(sorted(sched))))
print("Scan Now: files %d (cpp %d, h %d)" % split(grew))
print("SCHED", " ".join(sorted(sched)))
print("SCAN", " ".join(grew))
