#!/usr/bin/env bash
# A long session: 200 plays through the portal's command path, alternating the
# demo portal's games, then 50 opens from the recent-games list, in the main
# window against the demo portal (free port, fresh application folder); each
# game plays until the Flash runtime shows it.
# Prints memory (PSS over all the program's processes), processes and file
# descriptors after the tenth play, the last play and the last open, the
# ratio of the last play's memory to the tenth's (target <= 1.1) and whether
# the list files and pages still agree.
# Usage: bash bench/soak.sh [plays] [opens]   (needs a built tree; runs under Xvfb)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"

if [ -z "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/with-x.sh" bash "$0" "$@"
fi
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
exec "$build/bench/bench_soak" "${1:-200}" "${2:-50}" 2> >(grep -v -E '^(js:|Fontconfig)' >&2)
