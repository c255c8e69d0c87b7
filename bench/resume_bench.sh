#!/usr/bin/env bash
# Bytes a broken-off download costs: a generated movie (default 50 MB) served
# by the demo portal over the benchmark's home line (--link 2500000,40) is cut
# off at 90 % and fetched again with the download control (dlbench), once
# going on from what the first try kept (--resume, as the program does) and
# once from nothing (a control that keeps nothing). For each it prints the
# file bytes the client received over both tries and the body bytes the
# portal sent (retries included, --report-sent) against the file's size; the
# resumed file must equal the served one byte for byte and pass the movie
# check.
# Usage: bash bench/resume_bench.sh [MB]   (needs the kavo-portal and dlbench
# targets built)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"
mb="${1:-50}"
portal="$build/portal-demo/kavo-portal"
bench_bin="$build/bench/dlbench"
for f in "$portal" "$bench_bin"; do
  [ -x "$f" ] || { echo "missing $f (build kavo-portal and dlbench)" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen

size=$((mb * 1048576))
cut=$((size * 9 / 10))
work="$(mktemp -d)"
portal_pid=""
trap '[ -n "$portal_pid" ] && kill "$portal_pid" 2>/dev/null; rm -rf "$work"' EXIT

# The portal cuts every answer for /cut.swf after 90 % of the file; an answer
# that starts there (the rest, a range) is shorter and comes through.
runs=0
start_portal() {
  runs=$((runs + 1))
  out="$work/portal$runs.out"
  "$portal" --port 0 --report-sent --link 2500000,40 --big-file "/cut.swf=$mb" \
    --fault "/cut.swf=cut:$cut" --big-file "/whole.swf=$mb" >"$out" &
  portal_pid=$!
  for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.05; done
  port="$(awk '/listening/ {print $2}' "$out")"
  [ -n "$port" ] || { echo "the portal did not start" >&2; exit 1; }
  base="http://127.0.0.1:$port"
}
# Stops the portal; sets sent to the body bytes it sent.
stop_portal() {
  kill "$portal_pid"
  wait "$portal_pid" || true
  portal_pid=""
  sent=$(awk '/^sent/ {print $2}' "$out")
}
# try <name> <dlbench args...>: prints the file bytes dlbench received
try() {
  local name=$1
  shift
  "$bench_bin" "$@" >"$work/$name.out" 2>"$work/$name.err" || true
  sed -n 's/.*received=\([0-9]*\).*/\1/p' "$work/$name.out" | tail -1
}

start_portal
"$bench_bin" "$base/whole.swf" "$work/served.swf" >/dev/null 2>&1
stop_portal

start_portal
mkdir -p "$work/r"
first=$(try resume1 --resume "$base/cut.swf" "$work/r/1.swf")
[ -f "$work/r/1.swf.part" ] || { echo "the first try kept nothing" >&2; exit 1; }
second=$(try resume2 --resume "$base/cut.swf" "$work/r/1.swf")
[ -f "$work/r/1.swf" ] || { cat "$work/resume2.out" >&2; echo "the resumed download failed" >&2; exit 1; }
cmp -s "$work/served.swf" "$work/r/1.swf" || { echo "the resumed file differs from the served one" >&2; exit 1; }
leftover=$(find "$work/r" -name '*.part*' | wc -l)
stop_portal
rsent=$sent

# From nothing: the second click fetches the whole file again.
start_portal
mkdir -p "$work/n"
nfirst=$(try plain1 "$base/cut.swf" "$work/n/1.swf")
nsecond=$(try plain2 "$base/whole.swf" "$work/n/1.swf")
stop_portal
nsent=$sent

printf 'file %d bytes, cut at %d (90 %%), link 2500000 B/s + 40 ms\n' "$size" "$cut"
awk -v a="$first" -v b="$second" -v s="$size" -v l="$leftover" -v w="$rsent" 'BEGIN {
  printf "resumed:    received %d + %d = %.3f x the file; the portal sent %d = %.3f x; identical, %d partial files left\n", a, b, (a + b) / s, w, w / s, l }'
awk -v a="$nfirst" -v b="$nsecond" -v s="$size" -v w="$nsent" 'BEGIN {
  printf "from zero:  received %d + %d = %.3f x the file; the portal sent %d = %.3f x\n", a, b, (a + b) / s, w, w / s }'
