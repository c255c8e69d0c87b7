#!/usr/bin/env bash
# Runs the crash-consistency test with [kills] SIGKILLs of each kind (list adds
# on a full downloads list, settings writes); CI runs it with 200.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"
cmake --build "$build" -j2 --target crash_tst_crashconsistency
KAVO_CRASH_KILLS="${1:-200}" "$build/tests/crash_tst_crashconsistency"
