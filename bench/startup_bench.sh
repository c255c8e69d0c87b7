#!/usr/bin/env bash
# Start-up time and memory of the game box against a minimal one-pane
# Qt WebEngine program loading the same portal page, side by side in one run.
# Time: from exec to the portal page's load finished. Memory: RSS and PSS
# summed over all processes of the program (the web engine's helpers too),
# taken when the page has loaded and again two seconds later.
# With "offline" the portal is not started: the time is then from exec to the
# portal page's failed load, when the window is idle and the lists and the
# downloaded games can be used.
# Usage: bash bench/startup_bench.sh [runs] [offline]   (needs a built tree; runs under Xvfb)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVO_BUILD_DIR:-$root/build}"
runs="${1:-5}"
mode="${2:-online}"

if [ -z "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/with-x.sh" bash "$0" "$@"
fi
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# The game box's portal address is a build constant: serve the demo portal there.
base="$(sed -n 's/^PORTAL_BASE:STRING=//p' "$build/CMakeCache.txt")"
port="$(echo "$base" | sed -E 's#^http://[^:/]+:([0-9]+)/.*#\1#')"
if [ "$mode" = offline ]; then
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "something listens on port $port: the offline start needs it closed" >&2
    exit 1
  fi
else
  "$build/portal-demo/kavo-portal" --port "$port" --stats-log "$work/stats.log" >"$work/portal.out" &
  for _ in $(seq 100); do grep -q listening "$work/portal.out" 2>/dev/null && break; sleep 0.05; done
  grep -q listening "$work/portal.out" || { echo "the demo portal could not listen on port $port" >&2; exit 1; }
fi

tree_pids() { # pid and all its descendants
  local p=$1
  echo "$p"
  for c in $(pgrep -P "$p" 2>/dev/null); do tree_pids "$c"; done
}
mem_kb() { # "rss pss" in kB over the process tree
  local rss=0 pss=0 r s
  for p in $(tree_pids "$1"); do
    r=$(awk '/^Rss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    s=$(awk '/^Pss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    rss=$((rss + ${r:-0})); pss=$((pss + ${s:-0}))
  done
  echo "$rss $pss"
}

uss_kb() { # private memory (USS) in kB over the process tree, two seconds after the load
  local uss=0 u
  for p in $(tree_pids "$1"); do
    u=$(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)
    uss=$((uss + ${u:-0}))
  done
  echo "$uss"
}

cpu_ms() { # "browser helpers": processor time in ms used so far by the program's own
  # process (all its threads) and by its helper processes still alive (renderers, zygotes,
  # utilities); a helper that already ended is not counted
  local own=0 rest=0 ns p
  for p in $(tree_pids "$1"); do
    ns=$(cat /proc/"$p"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}')
    if [ "$p" = "$1" ]; then own=$ns; else rest=$((rest + ns)); fi
  done
  echo "$((own / 1000000)) $((rest / 1000000))"
}

# run_one CMD... -> prints "ms rss pss rss2 pss2 processes uss2 other-engine-processes cpu-browser cpu-helpers"
run_one() {
  local log="$work/run.log"
  : >"$log"
  local start; start=$(date +%s%3N)
  "$@" 2>"$log" >/dev/null &
  local pid=$!
  local line=""
  for _ in $(seq 600); do
    line=$(grep -m1 'kavo-startup loaded' "$log" || true)
    [ -n "$line" ] && break
    sleep 0.05
  done
  local loaded; loaded=$(echo "$line" | awk '{print $3}')
  local cpu; cpu=$(cpu_ms "$pid")
  local m1; m1=$(mem_kb "$pid")
  sleep 2
  local m2; m2=$(mem_kb "$pid")
  local procs; procs=$(tree_pids "$pid" | wc -l)
  local uss; uss=$(uss_kb "$pid")
  # PSS splits the shared libraries' pages with every process mapping them,
  # also other programs' web engine processes: count those.
  local others; others=$(grep -l libQt6WebEngineCore /proc/[0-9]*/maps 2>/dev/null | cut -d/ -f3 | { grep -vxF -f <(tree_pids "$pid") || true; } | wc -l) || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ -n "${trace_to:-}" ]; then # the start-up steps, in ms from exec
    awk -v s="$start" '$1 == "kavo-startup" {print $2, $3 - s}' "$log" >"$trace_to"
  fi
  [ -n "$loaded" ] || { echo "timeout 0 0 0 0 0 0 0 0 0"; return; }
  echo "$((loaded - start)) $m1 $m2 $procs $uss $others $cpu"
}

# CPU columns: processor time up to the load, of the program's process and of its helpers.
# On two processors a start that needs more than twice its load time in processor
# time cannot load sooner however its steps are ordered.
printf '%-10s %4s %10s %12s %12s %12s %12s %6s %12s %6s %8s %8s\n' program run "load ms" "RSS kB" "PSS kB" "RSS+2s kB" "PSS+2s kB" procs "USS+2s kB" others "CPU ms" "helpers"
for i in $(seq "$runs"); do
  app="$work/app$i"
  cp -r "$build/kavo" "$app"
  read -r ms r1 p1 r2 p2 n u o cb ch < <(KAVO_STARTUP_TRACE=1 trace_to="$work/trace$i" run_one "$app/play")
  printf '%-10s %4s %10s %12s %12s %12s %12s %6s %12s %6s %8s %8s\n' kavo "$i" "$ms" "$r1" "$p1" "$r2" "$p2" "$n" "$u" "$o" "$cb" "$ch"
  echo "$ms $p2 $u $cb $ch" >>"$work/kavo.txt"
  read -r ms r1 p1 r2 p2 n u o cb ch < <(run_one "$build/bench/minipane" "$base")
  printf '%-10s %4s %10s %12s %12s %12s %12s %6s %12s %6s %8s %8s\n' minipane "$i" "$ms" "$r1" "$p1" "$r2" "$p2" "$n" "$u" "$o" "$cb" "$ch"
  echo "$ms $p2 $u $cb $ch" >>"$work/mini.txt"
done

median() { sort -n | awk '{v[NR] = $1} END {if (NR == 0) print 0; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
kt=$(awk '{print $1}' "$work/kavo.txt" | median); mt=$(awk '{print $1}' "$work/mini.txt" | median)
kp=$(awk '{print $2}' "$work/kavo.txt" | median); mp=$(awk '{print $2}' "$work/mini.txt" | median)
echo
echo "medians: load $kt ms against $mt ms ($(awk -v a="$kt" -v b="$mt" 'BEGIN {printf "%.2f", b ? a / b : 0}')x); PSS+2s $kp kB against $mp kB ($(awk -v a="$kp" -v b="$mp" 'BEGIN {printf "%.2f", b ? a / b : 0}')x)"
ku=$(awk '{print $3}' "$work/kavo.txt" | median); mu=$(awk '{print $3}' "$work/mini.txt" | median)
echo "         USS+2s $ku kB against $mu kB ($(awk -v a="$ku" -v b="$mu" 'BEGIN {printf "%.2f", b ? a / b : 0}')x); PSS is fair only when the \"others\" column is 0"
kb=$(awk '{print $4}' "$work/kavo.txt" | median); mb=$(awk '{print $4}' "$work/mini.txt" | median)
kh=$(awk '{print $5}' "$work/kavo.txt" | median); mh=$(awk '{print $5}' "$work/mini.txt" | median)
echo "         CPU to the load: program $kb ms and helpers $kh ms against $mb ms and $mh ms"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
# Where the game box's time goes: each traced step's median, in ms from exec.
echo "start-up steps (median ms from exec):"
steps=$(cat "$work"/trace* 2>/dev/null | awk '!seen[$1]++ {print $1}')
for step in $steps; do
  printf '  %-20s %s\n' "$step" "$(cat "$work"/trace* | awk -v s="$step" '$1 == s {print $2}' | median)"
done
