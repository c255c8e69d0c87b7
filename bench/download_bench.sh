#!/usr/bin/env bash
# Download speed and memory of the download control against curl, side by side
# in one run: a 20 MB and a 200 MB generated file served over loopback by
# bench/dlserver, each fetched to disk by dlbench (the control, with Wait) and
# by curl. Throughput is taken over the transfer itself (from the request to
# the saved file; dlbench's clock and curl's time_total), peak memory is the
# process's maximum RSS from /usr/bin/time -v. Medians over the runs.
# Usage: bash bench/download_bench.sh [runs]   (needs a built tree with the
# dlserver and dlbench targets; packages: curl, time)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"
runs="${1:-3}"
server_bin="$build/bench/dlserver"
bench_bin="$build/bench/dlbench"
for f in "$server_bin" "$bench_bin" /usr/bin/time; do
  [ -x "$f" ] || { echo "missing $f (build dlserver and dlbench; apt-get install time curl)" >&2; exit 1; }
done
command -v curl >/dev/null || { echo "curl is missing (apt-get install curl)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

work="$(mktemp -d)"
server_pid=""
trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; rm -rf "$work"' EXIT
"$server_bin" >"$work/port" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port="$(head -1 "$work/port")"
[ -n "$port" ] || { echo "the file server did not start" >&2; exit 1; }

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
peak_kb() { sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"; }

# run_one <tool> <bytes>: prints "<transfer seconds> <peak kB>"
run_one() {
  local tool=$1 bytes=$2 url="http://127.0.0.1:$port/$2" out="$work/file.bin" secs
  rm -f "$out"
  if [ "$tool" = control ]; then
    /usr/bin/time -v -o "$work/time" "$bench_bin" "$url" "$out" >"$work/out" 2>"$work/err"
    secs=$(sed -n 's/.* ms=\([0-9]*\).*/\1/p' "$work/out" | awk '{print $1 / 1000}')
  else
    /usr/bin/time -v -o "$work/time" curl -s -o "$out" -w '%{time_total}\n' "$url" >"$work/out"
    secs=$(cat "$work/out")
  fi
  local got
  got=$(stat -c %s "$out")
  [ "$got" = "$bytes" ] || { echo "$tool saved $got of $bytes bytes" >&2; exit 1; }
  rm -f "$out"
  echo "$secs $(peak_kb "$work/time")"
}

printf '%-7s %-8s %12s %14s\n' size tool "MB/s" "peak RSS MB"
for mb in 20 200; do
  bytes=$((mb * 1048576))
  declare -A speed rss
  for tool in control curl; do
    : >"$work/secs"; : >"$work/kb"
    for _ in $(seq "$runs"); do
      read -r s k < <(run_one "$tool" "$bytes")
      echo "$s" >>"$work/secs"; echo "$k" >>"$work/kb"
    done
    s=$(median <"$work/secs"); k=$(sort -n "$work/kb" | tail -1)
    speed[$tool]=$(awk -v b="$bytes" -v s="$s" 'BEGIN {printf "%.1f", b / 1048576 / s}')
    rss[$tool]=$(awk -v k="$k" 'BEGIN {printf "%.1f", k / 1024}')
    printf '%-7s %-8s %12s %14s\n' "${mb}MB" "$tool" "${speed[$tool]}" "${rss[$tool]}"
  done
  awk -v a="${speed[control]}" -v b="${speed[curl]}" -v m="$mb" \
    'BEGIN {printf "%-7s control/curl throughput: %.0f %%\n", m "MB", 100 * a / b}'
  unset speed rss
done
