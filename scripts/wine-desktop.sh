#!/usr/bin/env bash
# Keeps Wine's desktop up while a session runs many programs one after another. Wine closes
# the desktop shortly after the last program on it ends, and a program starting in that
# moment cannot create its first window, so back-to-back runs failed now and then. Sourced;
# call keep_wine_desktop after `wineserver -p` (with any wrapper command as arguments) and
# release_wine_desktop on exit.
desktop_keeper_pid=""
keep_wine_desktop() {
  "$@" wine "${DESKTOP_KEEPER:-$root/build/desktop_keeper.exe}" >/dev/null 2>&1 &
  desktop_keeper_pid=$!
}
release_wine_desktop() {
  [ -n "$desktop_keeper_pid" ] && kill "$desktop_keeper_pid" 2>/dev/null || true
}
