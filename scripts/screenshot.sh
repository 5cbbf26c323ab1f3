#!/usr/bin/env bash
# Builds, then saves screenshots of the program's windows under Xvfb for review.
# Usage: scripts/screenshot.sh [out-dir]   (default build/screenshots)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/xvfb.sh"
trap 'stop_private_display' EXIT
ensure_display
export VANTRELL_EXE="$root/build/Vantrell.exe"
cd "$root"
python3 scripts/screenshot.py "$@"
