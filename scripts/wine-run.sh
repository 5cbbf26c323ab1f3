#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix (CTest's emulator).
#
# Wine now and then fails to start a program at all: it ends at once, non-zero, and the
# program printed nothing. Such a start is told apart from a test that failed by exactly
# that (no output of the program's own, ended within two seconds) and is made once more;
# a program that printed anything is never started again. Wine's own err: lines are kept
# for that case, said on stderr and added to build/wine-start-failures.log, and dropped
# from a run that did start.
#
# A start that fails because the prefix itself is broken (Wine cannot load kernel32.dll,
# status c0000135) is neither the test's failure nor a hiccup: it is named as that, with
# the remedy, and not started again.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${VANTRELL_WINEDEBUG:--all,err+all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
failures="${VANTRELL_START_FAILURES:-$root/build/wine-start-failures.log}"
quick_ms="${VANTRELL_QUICK_START_MS:-2000}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine_line='^([0-9a-f]{4}:){1,2}(err|fixme|warn|trace):'

# Runs the program once: its stdout streams through, its stderr is kept to be sorted.
# Sets status and elapsed_ms.
start_once() {
  local began
  began=$(date +%s%N)
  wine "$@" 2>"$work/err" | tee "$work/out"
  status=${PIPESTATUS[0]}
  elapsed_ms=$((($(date +%s%N) - began) / 1000000))
}

# The program's own stderr, without Wine's debug lines.
own_stderr() { grep -Ev "$wine_line" "$work/err" || true; }

# True when Wine said the prefix lacks its own system files.
prefix_is_broken() { grep -qE 'could not load kernel32\.dll|c0000135' "$work/err"; }

start_once "$@"
if [ "$status" -ne 0 ] && prefix_is_broken; then
  echo "wine-run: the Wine prefix $WINEPREFIX is broken (Wine could not load kernel32.dll, status c0000135), so ${1##*/} did not start; remove the prefix and run the command again, which makes it anew: rm -rf '$WINEPREFIX' && scripts/test.sh" >&2
  exit 125
fi
if [ "$status" -ne 0 ] && [ ! -s "$work/out" ] && [ -z "$(own_stderr)" ] &&
  [ "$elapsed_ms" -lt "$quick_ms" ]; then
  {
    echo "wine-run: $(date -u +%FT%TZ) ${1##*/} ${*:2}: no output, exit $status after ${elapsed_ms} ms; starting it once more"
    sed 's/^/wine-run:   Wine said: /' "$work/err"
  } | tee -a "$failures" >&2
  start_once "$@"
fi
own_stderr >&2
exit "$status"
