#!/usr/bin/env bash
# Tests the shipped 32-bit build: the unit and walk tests built for i686, each test program
# started once for all its tests, and an end-to-end smoke of the shipped Vantrell.exe under
# wine32 (tests/shipped). Where the kernel runs 32-bit programs they run natively; where it
# cannot, through qemu-user, at about a minute of emulated start-up a program. Where neither
# can be had, one warning names what is missing and only the build is checked.
# Usage: scripts/test.sh --shipped   (it calls this)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
shipped="$build/shipped"
source "$root/scripts/machine.sh"
source "$root/scripts/xvfb.sh"
source "$root/scripts/wine-desktop.sh"
export VANTRELL_COMMAND="scripts/test.sh --shipped"

"$root/scripts/provision.sh" --shipped

cmake -S "$root" -B "$shipped" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$shipped" -j"$(nproc)" --target Vantrell unit_tests walk_tests desktop_keeper

runner=$(i386_runner)
missing=""
[ "$runner" != none ] || missing="a way to run i386 programs (binfmt_misc with qemu-user-static)"
[ -x /usr/lib/wine/wine ] || missing="${missing:+$missing and }wine32"
if [ -n "$missing" ]; then
  echo "shipped: warning: this machine lacks $missing; the shipped 32-bit build and its tests" \
    "were built but not run (scripts/provision.sh --shipped says why)" >&2
  exit 0
fi
echo "shipped: i386 programs run $runner here"
# Emulated, every start and every step is several times slower.
slow=1
[ "$runner" = native ] || slow=4

# A 64-bit prefix of its own, in which the shipped program runs as on 64-bit Windows (WoW64,
# System32 redirected) and Wine's own tools (cmd, wineboot) run natively. A pure 32-bit
# prefix could not even be made through qemu here (wineboot's helpers crash). A crash
# starts no debugger, which would wait for ever.
use_wine64 "$build/wine64-bin"
export WINEPREFIX="$build/wineprefix-shipped" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export VANTRELL_WINEBOOT_SECONDS=$((300 * slow)) VANTRELL_WINEBOOT_LOG="$build/wineboot-shipped.log"
source "$root/scripts/wine-prefix.sh"
ensure_wine_prefix || exit 1

DESKTOP_KEEPER="$shipped/desktop_keeper.exe" start_test_session

# Each test program once, all of its tests in that one start (watched: see shipped_tests.py).
# Emulated, a start costs about a minute and the walks about ten, so the walk tests run
# beside the rest on the other core.
run_tests() {
  local program=$1
  shift
  python3 "$root/scripts/shipped_tests.py" --quiet $((45 * slow)) --limit $((300 * slow)) "$@" \
    "$shipped/$program.exe" "$shipped/$program.log" "${restricted[@]}" wine \
    >"$shipped/$program.result" 2>&1 || true
}
# Through qemu this test stalls Wine when run beside others (a fault in Wine's Unix-side
# code reaches its handler without the trap number qemu leaves unset, and recurs for ever);
# alone it passes, and on the 64-bit build every time (docs/reliability.md).
emulator_stalls=()
[ "$runner" = native ] ||
  emulator_stalls=(--leave-out WindowsFileSystems.AVolumeWithoutDosOrNormalizedPathsIsScannedInTheFormItHas)
rm -f "$shipped"/*.result
echo "shipped: the walk tests (all in one start, beside the rest)"
run_tests walk_tests "${emulator_stalls[@]}" &
walk_pid=$!
echo "shipped: the unit tests (all in one start)"
run_tests unit_tests

echo "shipped: the smoke of the shipped Vantrell.exe (tests/shipped)"
smoke_status=0
(cd "$root/tests/shipped" && VANTRELL_EXE="$shipped/Vantrell.exe" VANTRELL_SLOW_FACTOR=$slow \
  timeout $((300 * slow)) "${restricted[@]}" python3 -m unittest -v test_shipped) \
  >"$shipped/smoke.log" 2>&1 || smoke_status=$?
wait "$walk_pid" || true

# The counts, as each program's watcher gave them (scripts/shipped_tests.py).
passed=0 failed=0
for program in unit_tests walk_tests; do
  sed "s/^/shipped: /" "$shipped/$program.result"
  counts=$(grep -E "^$program: [0-9]+ passed, [0-9]+ failed$" "$shipped/$program.result" || true)
  if [ -z "$counts" ]; then
    failed=$((failed + 1))
    continue
  fi
  passed=$((passed + $(echo "$counts" | sed -E 's/.*: ([0-9]+) passed.*/\1/')))
  failed=$((failed + $(echo "$counts" | sed -E 's/.* ([0-9]+) failed$/\1/')))
done
grep -E ' \.\.\. |^(FAIL|ERROR):|^Ran ' "$shipped/smoke.log" | sed "s/^/shipped: smoke: /" || true
passed=$((passed + $(grep -cE ' \.\.\. ok$' "$shipped/smoke.log" || true)))
smoke_failed=$(grep -cE '^(FAIL|ERROR):' "$shipped/smoke.log" || true)
[ "$smoke_status" -eq 0 ] || [ "$smoke_failed" -gt 0 ] || smoke_failed=1
failed=$((failed + smoke_failed))
[ "$smoke_status" -eq 0 ] || sed -n '/^=\{20\}/,$p' "$shipped/smoke.log" >&2

echo "shipped: screenshot of the shipped window: $build/screenshots/smoke-main-window-i686.png"
echo "shipped: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
