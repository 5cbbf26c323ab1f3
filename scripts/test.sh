#!/usr/bin/env bash
# Builds everything and runs every test (unit, walks, window, end-to-end) under Wine.
# Usage: scripts/test.sh [ctest arguments...]
#        scripts/test.sh --shipped   (the shipped 32-bit build: scripts/shipped.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ "${1:-}" = --shipped ] && exec "$root/scripts/shipped.sh"
source "$root/scripts/setup.sh"
source "$root/scripts/xvfb.sh"
source "$root/scripts/wine-desktop.sh"

start_test_session

cd "$root/build"
"${restricted[@]}" ctest --output-on-failure "$@"
