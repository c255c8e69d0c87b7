#!/usr/bin/env bash
# Installs what is missing (Debian packages, the npm package of the Flash
# runtime) and builds the project into build/ (or $KAVO_BUILD_DIR). Safe to run again: it only
# installs and rebuilds what is needed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

log() { printf '[setup] %s\n' "$*"; }

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' scripts/packages.txt)
missing=()
for line in "${wanted[@]}"; do
  read -r pkg cmd <<<"$line"
  if [ -n "${cmd:-}" ] && command -v "$cmd" >/dev/null 2>&1; then
    continue
  fi
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if ((${#missing[@]})); then
  log "installing Debian packages: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -d node_modules/@ruffle-rs/ruffle ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  log "installing npm packages (npm ci)"
  npm ci --no-audit --no-fund --loglevel=error
fi

build="${KAVO_BUILD_DIR:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${KAVO_CMAKE_ARGS:-}
fi
# KAVO_BUILD_TARGETS limits the build (the run script needs only the program
# and the demo portal); by default everything is built, tests included.
targets=()
for t in ${KAVO_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
log "building in $build"
cmake --build "$build" -j2 "${targets[@]}"
