#!/usr/bin/env bash
# The test emulator's second start: only a program that printed nothing and ended at once
# is started again, and Wine's own lines are said for that case alone. A stand-in `wine`
# on the PATH plays each start as a case tells it to.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/checks.sh"
runner="$here/../../scripts/wine-run.sh"

# The stand-in plays the lines of $work/plan in turn, one a start: "silent", "crash"
# (prints, then fails), "slow" (silent, fails after the quick limit) or "ok".
mkdir -p "$work/bin"
cat >"$work/bin/wine" <<'STUB'
#!/bin/bash
n=$(($(cat "$WORK/starts" 2>/dev/null || echo 0) + 1))
echo $n >"$WORK/starts"
case $(sed -n "${n}p" "$WORK/plan") in
  silent) echo "0024:err:module:import_dll Library ucrtbase.dll not found" >&2; exit 53 ;;
  crash) echo "[ RUN      ] A.B"; echo "oops" >&2; exit 1 ;;
  slow) sleep 1; exit 3 ;;
  broken) echo "wine: could not load kernel32.dll, status c0000135" >&2; exit 1 ;;
  ok) echo "[  PASSED  ] 1 test."; echo "0024:err:ole:x noise" >&2; echo "own words" >&2; exit 0 ;;
esac
STUB
chmod +x "$work/bin/wine"

# Runs the emulator over the plan $1 (starts separated by blanks); sets status.
emulate() {
  rm -f "$work/starts" "$work/failures"
  tr ' ' '\n' <<<"$1" >"$work/plan"
  PATH="$work/bin:$PATH" WORK="$work" VANTRELL_START_FAILURES="$work/failures" \
    VANTRELL_QUICK_START_MS=500 bash "$runner" prog.exe --gtest_filter=A.B >"$work/out" 2>"$work/err"
  status=$?
}
show_failure() { echo "--- stdout"; cat "$work/out"; echo "--- stderr"; cat "$work/err"; }
starts() { cat "$work/starts"; }

emulate "silent ok"
check "a start that printed nothing and ended at once is made again, and said" \
  eval '[ $status -eq 0 ] && [ $(starts) -eq 2 ] && grep -q "PASSED" "$work/out" &&
        grep -q "no output, exit 53 .*starting it once more" "$work/err" &&
        grep -q "Wine said: 0024:err:module:import_dll" "$work/failures"'
emulate "silent silent ok"
check "a second silent start is not made a third time" \
  eval '[ $status -eq 53 ] && [ $(starts) -eq 2 ]'
emulate "crash ok"
check "a program that printed and failed is never repeated" \
  eval '[ $status -eq 1 ] && [ $(starts) -eq 1 ] && grep -qx oops "$work/err" && [ ! -e "$work/failures" ]'
emulate "slow ok"
check "a silent failure that took its time is a failure, not a start hiccup" \
  eval '[ $status -eq 3 ] && [ $(starts) -eq 1 ]'
emulate "broken ok"
check "a prefix without its system files is named with the remedy, not retried or blamed on the test" \
  eval '[ $status -eq 125 ] && [ $(starts) -eq 1 ] && grep -q "Wine prefix .* is broken" "$work/err" &&
        grep -q "rm -rf" "$work/err" && [ ! -e "$work/failures" ]'
emulate "ok"
check "a run that started keeps its own stderr and drops the lines of Wine itself" \
  eval '[ $status -eq 0 ] && grep -qx "own words" "$work/err" && ! grep -q "err:ole" "$work/err"'

finish
