#!/usr/bin/env bash
# Runs every fuzz target of tests/fuzz for [seconds] (default 30) on its seed
# corpus and prints the executions per target. New inputs go to a scratch
# folder, never into the committed corpus; an input that breaks a target is
# kept in build-san/fuzz-findings/ and fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_SAN_BUILD_DIR:-$root/build-san}"
seconds="${1:-30}"
targets=(fuzz_commandurl fuzz_textcodec fuzz_dlrules fuzz_gamelist fuzz_settings fuzz_savefiles)

bash "$root/scripts/sanitize.sh" --build-only

# The list and settings targets write files with every input: on a memory
# file system the syncs of the safe writes cost nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
findings="$build/fuzz-findings"
mkdir -p "$findings"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

status=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t"
  out="$scratch/$t.log"
  printf '[fuzz] %s for %s s\n' "$t" "$seconds"
  if "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/$t-" \
      "$scratch/$t" "$root/tests/fuzz/corpus/$t" >"$out" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    tail -n 60 "$out"
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -n 1)"
  summary+=("$(printf '%-16s %-7s %12s executions in %s s' "$t" "$result" "${runs:-?}" "$seconds")")
done
printf '[fuzz] %s\n' "${summary[@]}"
exit "$status"
