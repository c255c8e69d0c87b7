#!/usr/bin/env bash
# Starts the built game box against the demo portal on a private X display and
# a private session bus with the accessibility bus, and prints its tree as a
# screen reader reads it (tools/a11ytree.py; its options pass through, e.g.
# --press 全屏). The application folder is the build's (build/kavo).
#
# Usage: bash tools/a11ytree.sh [a11ytree.py options]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"

if [ "${1:-}" != "--inside" ]; then
  # The demo portal's port is shared with every other run on this machine.
  exec flock /tmp/port8740.lock dbus-run-session -- bash "$root/scripts/with-x.sh" bash "$0" --inside "$@"
fi
shift

"$build/portal-demo/kavo-portal" --port 8740 --notice '0====0====1.0' >/dev/null &
portal_pid=$!
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QTWEBENGINE_DISABLE_SANDBOX=1 "$build/kavo/play" >/dev/null 2>&1 &
play_pid=$!
trap 'kill "$play_pid" "$portal_pid" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
/usr/bin/python3 "$root/tools/a11ytree.py" "$@"
