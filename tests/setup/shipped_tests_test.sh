#!/usr/bin/env bash
# The watcher of the shipped build's test programs (scripts/shipped_tests.py), against a
# stand-in test program of three tests, A.one to A.three, that passes, fails, crashes or
# stalls in A.two as a case tells it (FAKE), once or at every start.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/checks.sh"
watcher="$here/../../scripts/shipped_tests.py"

fake="$work/fake_tests.sh"
cat >"$fake" <<'EOF'
#!/bin/bash
# Which tests this start runs: all, one by name, or all but those excluded.
filter=${1#--gtest_filter=}
starts=$(( $(cat "$STATE" 2>/dev/null || echo 0) + 1 )); echo $starts >"$STATE"
for t in A.one A.two A.three; do
  case "$filter" in
    "") ;;
    -*) [[ ":${filter#-}:" == *":$t:"* ]] && continue ;;
    *) [ "$filter" = "$t" ] || continue ;;
  esac
  echo "[ RUN      ] $t"
  if [ "$t" = A.two ]; then
    again=$([ "$starts" -gt 1 ] && echo yes || echo no)
    case "$FAKE" in
      fail) echo "[  FAILED  ] $t (1 ms)"; failed=1; continue ;;
      crash-once) [ $again = no ] && exit 0 ;;
      crash-always) exit 0 ;;
      stall-once) [ $again = no ] && sleep 30 ;;
    esac
  fi
  echo "[       OK ] $t (1 ms)"
done
if [ -n "${failed:-}" ]; then echo "[  FAILED  ] 1 test, listed below:"; exit 1; fi
echo "[  PASSED  ] all tests."
EOF
chmod +x "$fake"

# Runs the watcher on the stand-in in case $1; its output in $work/out.
watch() {
  local fake_mode=$1
  shift
  rm -f "$work/state"
  FAKE=$fake_mode STATE="$work/state" python3 "$watcher" --quiet 2 "$@" "$fake" "$work/log" \
    >"$work/out" 2>&1
}
show_failure() { echo "--- output"; cat "$work/out"; }
said() { grep -qxF "$1" "$work/out"; }

watch clean
status=$?
check "a clean start counts every test" eval '[ $status -eq 0 ] && said "fake_tests: 3 passed, 0 failed"'
watch fail
status=$?
check "a failing test is counted and named" \
  eval '[ $status -ne 0 ] && said "fake_tests: 2 passed, 1 failed" && said "fake_tests: FAILED A.two"'
watch crash-once
status=$?
check "a crash the test does not repeat alone: the rest run, and it passes" \
  eval '[ $status -eq 0 ] && said "fake_tests: 3 passed, 0 failed" &&
        grep -q "without its summary in A.two" "$work/out" && said "fake_tests: A.two passes when started alone"'
watch crash-always
status=$?
check "a crash that repeats alone fails that test, and the rest still run" \
  eval '[ $status -ne 0 ] && said "fake_tests: 2 passed, 1 failed" && said "fake_tests: FAILED A.two"'
watch stall-once
status=$?
check "a silent start is ended, and the test it stalled in started alone" \
  eval '[ $status -eq 0 ] && grep -q "printed nothing for 2 s in A.two" "$work/out" &&
        said "fake_tests: 3 passed, 0 failed"'
watch crash-always --leave-out A.two
status=$?
check "a test left out is not run, and said so" \
  eval '[ $status -eq 0 ] && said "fake_tests: left out A.two" && said "fake_tests: 2 passed, 0 failed"'

finish
