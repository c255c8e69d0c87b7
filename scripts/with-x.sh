#!/usr/bin/env bash
# Runs a command inside a private Xvfb display with a window manager, so that
# window-manager behaviour (moving, resizing, maximising, "above" state) is real.
set -euo pipefail

# The server picks a free display number itself (-displayfd): several runs
# started at once never share a display, or one another's window manager.
work=$(mktemp -d)
# KAVO_TEST_SCREEN sets another screen (a HiDPI one for runs at twice the
# scale: 2560x2048x24).
Xvfb -displayfd 3 -screen 0 "${KAVO_TEST_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

openbox >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$wm_pid" 2>/dev/null || break
  sleep 0.1
done
# The window manager on this display must be ours, and running.
kill -0 "$wm_pid" 2>/dev/null && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
  || { echo "the window manager (openbox) did not start on $DISPLAY" >&2; exit 1; }

"$@"
