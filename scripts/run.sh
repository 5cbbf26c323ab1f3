#!/usr/bin/env bash
# Builds the program and runs it under Wine. With no arguments it opens the window; with a
# path and a number of days it does the unattended job and exits with its return code.
# Usage: scripts/run.sh ["C:\path" days]   (Windows paths: Z:\ is the Linux root)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/xvfb.sh"
trap stop_private_display EXIT
ensure_display
set +e
wine "$root/build/Vantrell.exe" "$@"
code=$?
echo "Vantrell ended with return code $code"
exit $code
