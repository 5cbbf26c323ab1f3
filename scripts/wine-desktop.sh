#!/usr/bin/env bash
# Keeps Wine's desktop up while a session runs many programs one after another. Wine closes
# the desktop shortly after the last program on it ends, and a program starting in that
# moment cannot create its first window, so back-to-back runs failed now and then. Sourced;
# call keep_wine_desktop after `wineserver -p` (with any wrapper command as arguments) and
# release_wine_desktop on exit, or start_test_session, which does all of it (after xvfb.sh).
desktop_keeper_pid=""
keep_wine_desktop() {
  "$@" wine "${DESKTOP_KEEPER:-$root/build/desktop_keeper.exe}" >/dev/null 2>&1 &
  desktop_keeper_pid=$!
}
release_wine_desktop() {
  [ -n "$desktop_keeper_pid" ] && kill "$desktop_keeper_pid" 2>/dev/null || true
}

# Root bypasses file permissions, which would hide every access-denied path. Wine's server
# and the tests run without the capabilities that allow it, so denials are real.
restricted=(setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --)

# Everything a run of many test programs needs, ended when the caller exits: a display,
# Wine's server without root's file rights, one warm-up start and the desktop kept up.
start_test_session() {
  trap end_test_session EXIT
  ensure_display
  wineserver -k >/dev/null 2>&1 || true
  "${restricted[@]}" wineserver -p
  # Warm up once with the output redirected: Wine's helpers would otherwise hold the first
  # test's output pipe open and ctest would wait for them.
  "${restricted[@]}" wine cmd /c exit >/dev/null 2>&1 || true
  keep_wine_desktop "${restricted[@]}"
}
end_test_session() {
  release_wine_desktop
  wineserver -k >/dev/null 2>&1 || true
  stop_private_display
}
