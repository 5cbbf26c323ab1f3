#!/usr/bin/env bash
# Gives the caller a display: the one it has, or a private Xvfb with a window manager
# (openbox, as every real desktop has one) started here and stopped by the caller's exit
# trap (stop_private_display). Sourced.
private_xvfb_pid=""
private_wm_pid=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    private_xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    start_window_manager
    echo "display: no display was set; running under a private Xvfb with openbox on $DISPLAY"
    return
  done
  echo "display: no free display number for Xvfb" >&2
  return 1
}
# Waits until openbox has taken the screen (it announces itself on the root window), so the
# first window already gets a managed frame.
start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  private_wm_pid=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return
    sleep 0.1
  done
  echo "display: openbox did not start; windows run without a window manager" >&2
}
stop_private_display() {
  [ -n "$private_wm_pid" ] && kill "$private_wm_pid" 2>/dev/null || true
  [ -n "$private_xvfb_pid" ] && kill "$private_xvfb_pid" 2>/dev/null || true
}
