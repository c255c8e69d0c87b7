#!/usr/bin/env bash
# Sets everything up and runs every test under a private X server with a
# window manager; ends non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"

bash "$root/scripts/setup.sh"

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --disable-background-networking --disable-component-update}"
exec bash "$root/scripts/with-x.sh" ctest --test-dir "$build" --output-on-failure "$@"
