#!/usr/bin/env bash
# Builds, then times Vantrell beside the bare floor program on generated trees and writes
# docs/performance.md. Not part of the test run. Usage: scripts/benchmark.sh [--runs N] [sizes...]
# or scripts/benchmark.sh --interleaved [sizes...] (files that interleave with directories; prints)
# or scripts/benchmark.sh --synthetic [rows] (the list alone, filled without files; prints)
# or scripts/benchmark.sh --shapes [--scale F] [--only NAME...] [--runs N] (seven shapes of tree, each
#    against the careful floor in N pairs, 3 unless told, the median kept, and at twice its
#    size; writes docs/performance.md)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/xvfb.sh"
source "$root/scripts/wine-desktop.sh"
trap 'release_wine_desktop; stop_private_display' EXIT
ensure_display
wineserver -p || true # one may be up already, kept by an earlier run
wine cmd /c exit >/dev/null 2>&1 || true
keep_wine_desktop
export VANTRELL_EXE="$root/build/Vantrell.exe"
if [ "${1:-}" = --synthetic ]; then
  rows=${2:-10000000}
  timeout 3600 wine "$root/build/vantrell_synthetic.exe" "$rows"
  # The window with that many rows: to the end and a page down (the test checks they paint).
  start=$(date +%s.%N)
  VANTRELL_LIST_ROWS=$rows timeout 3600 wine "$root/build/ui_tests.exe" \
    --gtest_filter='*AListOfMillions*' | grep -E '^\[ +(OK|FAILED) +\]'
  echo "window test with $rows rows, filling included: $(python3 -c "print(round($(date +%s.%N) - $start, 2))") s"
  exit
fi
if [ "${1:-}" = --shapes ]; then
  shift
  python3 "$root/scripts/benchmark/shapes.py" "$@"
  exit
fi
if [ "${1:-}" = --interleaved ]; then
  shift
  [ $# -gt 0 ] || set -- 2000 4000 16000
  python3 "$root/scripts/benchmark/interleaved.py" "$@"
  exit
fi
[ $# -gt 0 ] || set -- 10000 100000 1000000
python3 "$root/scripts/benchmark/run.py" "$@"
