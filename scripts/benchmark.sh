#!/usr/bin/env bash
# Builds, then times Vantrell beside the bare floor program on generated trees and writes
# docs/performance.md. Not part of the test run. Usage: scripts/benchmark.sh [--runs N] [sizes...]
# or scripts/benchmark.sh --interleaved [sizes...] (files that interleave with directories; prints)
# or scripts/benchmark.sh --synthetic [rows] (the list alone, filled without files; prints)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/xvfb.sh"
source "$root/scripts/wine-desktop.sh"
trap 'release_wine_desktop; stop_private_display' EXIT
ensure_display
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
keep_wine_desktop
export VANTRELL_EXE="$root/build/Vantrell.exe"
if [ "${1:-}" = --synthetic ]; then
  timeout 3600 wine "$root/build/vantrell_synthetic.exe" "${2:-10000000}"
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
