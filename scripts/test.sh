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

# Root bypasses file permissions, which would hide every access-denied path. Wine's server
# and the tests run without the capabilities that allow it, so denials are real.
restricted=(setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --)

cleanup() {
  release_wine_desktop
  wineserver -k >/dev/null 2>&1 || true
  stop_private_display
}
trap cleanup EXIT
ensure_display
wineserver -k >/dev/null 2>&1 || true
"${restricted[@]}" wineserver -p
# Warm up once with the output redirected: Wine's helpers would otherwise hold the first
# test's output pipe open and ctest would wait for them.
"${restricted[@]}" wine cmd /c exit >/dev/null 2>&1 || true
keep_wine_desktop "${restricted[@]}"

cd "$root/build"
"${restricted[@]}" ctest --output-on-failure "$@"
