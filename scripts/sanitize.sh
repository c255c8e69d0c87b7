#!/usr/bin/env bash
# Builds the window-free library and every headless test program with
# AddressSanitizer and UndefinedBehaviorSanitizer (clang-14) in a second build
# folder, build-san/ (or $KAVO_SAN_BUILD_DIR), together with the fuzz targets
# of tests/fuzz, and runs the tests: the first finding stops its program and
# fails the run. "--build-only" stops after the build (scripts/fuzz.sh uses it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_SAN_BUILD_DIR:-$root/build-san}"

log() { printf '[sanitize] %s\n' "$*"; }

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DKAVO_SANITIZE=ON -DKAVO_FUZZ=ON ${KAVO_CMAKE_ARGS:-} >/dev/null
fi
log "building the headless tests and the fuzz targets in $build"
# Only the window-free library and what links it: the sanitizer build stays light.
cmake --build "$build" -j2 --target kavo_headless_tests kavo_fuzz

[ "${1:-}" = "--build-only" ] && exit 0

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The main run kills the crash test's writer 200 times of each kind; here the
# point is memory errors, for which fewer kills do.
export KAVO_CRASH_KILLS="${KAVO_CRASH_KILLS:-50}"
log "running the headless tests under the sanitizers"
ctest --test-dir "$build" --output-on-failure -L headless "$@"
