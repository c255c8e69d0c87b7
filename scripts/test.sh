#!/usr/bin/env bash
# Checks the include layers of src/ (scripts/layercheck.py), sets everything
# up and runs every test under a private X server with a window manager; ends
# non-zero on any failure. Without arguments it then
# runs the checks kept beside the tests: the window tests again at twice the
# scale, the headless tests again under the
# sanitizers (scripts/sanitize.sh) and every fuzz target for
# $KAVO_FUZZ_SECONDS seconds (default 30, scripts/fuzz.sh). Arguments go to
# ctest and run only the tests they select.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"

stage_start=$SECONDS
stage() { printf '[test] %s: %d s\n' "$1" $((SECONDS - stage_start)); stage_start=$SECONDS; }

# The include layers of src/ need no build: a broken rule fails the run first.
python3 "$root/scripts/layercheck.py" --self-test
python3 "$root/scripts/layercheck.py" "$root/src"
stage "layer check"

bash "$root/scripts/setup.sh"
stage "set-up and build"

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --disable-background-networking --disable-component-update}"
status=0
bash "$root/scripts/with-x.sh" ctest --test-dir "$build" --output-on-failure "$@" || status=1
stage "tests"
[ $# -eq 0 ] || exit "$status"

# The window tests again at twice the scale, on a screen large enough for the
# design sizes (a 2560 x 2048 HiDPI screen, 1280 x 1024 in the toolkit's pixels).
KAVO_TEST_SCREEN=2560x2048x24 QT_SCALE_FACTOR=2 \
  bash "$root/scripts/with-x.sh" ctest --test-dir "$build" --output-on-failure -L ui || status=1
stage "window tests at twice the scale"

bash "$root/scripts/sanitize.sh" || status=1
stage "sanitizer build and headless tests"
bash "$root/scripts/fuzz.sh" "${KAVO_FUZZ_SECONDS:-30}" || status=1
stage "fuzz targets"
exit "$status"
