#!/usr/bin/env bash
# The Debian package end to end, as root on a machine with an X display:
# builds it with CPack, checks it with lintian, desktop-file-validate and
# appstreamcli, installs it with apt-get, runs /usr/bin/kavo-gamebox as a new
# user with a temporary home against the demo portal (in a private network
# namespace, so the build's portal address 127.0.0.1:<port> is free), plays a
# game from the portal, and removes the package and the user again.
#
#   package_install.sh <build dir>
#
# Ends 77 (skipped) when not root or without a display.
set -euo pipefail
build="$(cd "$1" && pwd)"
pkg=kavo-gamebox

log() { printf '[package] %s\n' "$*"; }
fail() { printf '[package] FAIL: %s\n' "$*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || { log "needs root (apt-get, useradd): skipped"; exit 77; }
[ -n "${DISPLAY:-}" ] || { log "needs an X display: skipped"; exit 77; }
base="$(sed -n 's/^PORTAL_BASE:STRING=//p' "$build/CMakeCache.txt")"
[[ "$base" =~ ^http://127\.0\.0\.1:([0-9]+)/$ ]] || { log "portal $base is not on this machine: skipped"; exit 77; }
port="${BASH_REMATCH[1]}"

# One package test at a time on a machine: they share the system's packages.
exec 9>/tmp/kavo-gamebox-package-test.lock
flock 9

t0=$SECONDS
work="$(mktemp -d /tmp/kavo-package.XXXXXX)"
chmod 755 "$work"
user="kavo$$"
netns_pid=""
# Ends what this test started, by process id: the namespace's processes
# (portal and program), then anything left of the test user.
stop_processes() {
  local pid
  for f in "$work/player.pid" "$work/portal.pid"; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
    rm -f "$f"
  done
  if [ -n "$netns_pid" ]; then
    wait "$netns_pid" 2>/dev/null || true
    netns_pid=""
  fi
  for pid in $(pgrep -u "$user" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
}
cleanup() {
  stop_processes
  userdel "$user" 2>/dev/null || true
  if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed'; then
    apt-get remove -y -qq -o DPkg::Lock::Timeout=300 "$pkg" >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

log "building the package"
rm -f "$build"/${pkg}_*.deb
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$build"/${pkg}_*.deb)"
log "built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) at $((SECONDS - t0)) s"
dpkg-deb -f "$deb" Package Version Section Maintainer Depends

log "lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian.txt" || fail "lintian reports errors"
log "lintian done at $((SECONDS - t0)) s"

log "installing with apt-get"
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
for f in /usr/bin/$pkg /usr/games/$pkg /usr/lib/$pkg/play /usr/lib/$pkg/app/flash.htm /usr/lib/$pkg/app/i.gif \
         /usr/lib/$pkg/app/ruffle/ruffle.js /usr/share/applications/$pkg.desktop \
         /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$pkg.png; do
  [ -e "$f" ] || fail "$f is not installed"
done
[ "$(readlink -f /usr/bin/$pkg)" = /usr/lib/$pkg/play ] || fail "/usr/bin/$pkg does not lead to the program"
desktop-file-validate /usr/share/applications/$pkg.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/cn.kavo.gamebox.metainfo.xml || fail "appstreamcli validate"
grep -q "Icon=$pkg" /usr/share/applications/$pkg.desktop || fail "the menu entry has no icon"

log "a new user with a temporary home"
home="$work/home"
useradd --home-dir "$home" --create-home --shell /bin/sh --user-group "$user"
touch "$work/installed.stamp"
sleep 1 # time stamps of later writes under /usr must be newer than the stamp

# The program and the portal in a private network namespace; X is reached
# through its socket file.
log "starting the demo portal and /usr/bin/$pkg as $user"
cat >"$work/inside.sh" <<INSIDE
set -eu
ip link set lo up
"$build/portal-demo/kavo-portal" --port $port --access-log "$work/access.log" >/dev/null 2>&1 &
echo \$! >"$work/portal.pid"
for _ in \$(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break; sleep 0.1; done
setpriv --reuid="$user" --regid="$user" --init-groups \
  env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" LANG=C.UTF-8 \
  QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update" \
  /usr/bin/$pkg >"$work/player.log" 2>&1 &
echo \$! >"$work/player.pid"
wait
INSIDE
unshare --net bash "$work/inside.sh" &
netns_pid=$!

data="$home/.local/share/$pkg"
wait_for() { # seconds, description, command...
  local limit=$1 what=$2; shift 2
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  cat "$work/player.log" >&2 || true
  fail "$what"
}
first_start_done() { [ -f "$data/app/d.htm" ] && [ -f "$data/config.ini" ]; }
wait_for 60 "first-start files in $data" first_start_done
window_shown() { xdotool search --onlyvisible --name '^Kavo游戏盒$' >/dev/null 2>&1; }
wait_for 60 "the main window" window_shown
portal_loaded() { grep -q 'GET /home.html' "$work/access.log" 2>/dev/null; }
wait_for 60 "the portal page" portal_loaded
# The web profile's storage (webdata/) fills as the engine likes.
(cd "$data" && find . -type f -not -path './webdata/*' | sort) >"$work/first-start.txt"
diff -u - "$work/first-start.txt" <<LIST || fail "unexpected first-start files"
./app/c.htm
./app/d.htm
./app/date_c.dat
./app/date_d.dat
./app/date_n.dat
./app/n.htm
./config.ini
LIST
[ "$(stat -c %U "$data/config.ini")" = "$user" ] || fail "config.ini does not belong to $user"
[ -d "$data/webdata" ] || fail "no web profile folder $data/webdata"

# The web engine's sandbox: its zygote and the renderers forked from it run
# in a user namespace of their own, and no helper is told --no-sandbox.
browser_ns="$(readlink "/proc/$(cat "$work/player.pid")/ns/user")"
sandboxed=0
for pid in $(pgrep -u "$user" -f QtWebEngineProcess || true); do
  cmdline="$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null || true)"
  [[ "$cmdline" == *--no-sandbox* ]] && fail "a web engine process runs without the sandbox: $cmdline"
  ns="$(readlink "/proc/$pid/ns/user" 2>/dev/null || true)"
  [ -n "$ns" ] && [ "$ns" != "$browser_ns" ] && sandboxed=1
done
[ "$sandboxed" = 1 ] || fail "no web engine process runs in the sandbox's user namespace"
log "the web engine's sandbox runs for $user"

log "playing the first game of the portal's recommendations"
window="$(xdotool search --onlyvisible --name '^Kavo游戏盒$' | head -1)"
# As a keyboard user would: a click on the portal's title (the portal pane
# starts at (4, 96) of the window), Tab to the first game link after it
# (the first of the hot games), Return.
played() { tr -d '\r' <"$data/app/date_n.dat" | cut -d'|' -f2 | grep -qx 101; }
for _ in $(seq 20); do
  xdotool mousemove --window "$window" 40 125 click 1 sleep 0.3 key Tab sleep 0.3 key Return || true
  for _ in $(seq 10); do played && break 2; sleep 0.3; done
done
played || fail "the game's record is not in $data/app/date_n.dat"
swf_loaded() { grep -q 'GET /games/101.swf' "$work/access.log"; }
wait_for 60 "the game's movie loaded by the player" swf_loaded
log "played: $(tr -d '\r' <"$data/app/date_n.dat" | head -1)"

stop_processes

log "files of $user outside the program's folder: $(cd "$home" && find . -type f -not -path "./.local/share/$pkg/*" | tr '\n' ' ')"
written="$(find /usr -xdev -newer "$work/installed.stamp" 2>/dev/null | head -20)"
[ -z "$written" ] || fail "written under /usr: $written"

log "removing the package and the user"
apt-get remove -y -qq -o DPkg::Lock::Timeout=300 "$pkg" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove"; }
for f in /usr/bin/$pkg /usr/lib/$pkg /usr/share/applications/$pkg.desktop; do
  [ ! -e "$f" ] || fail "$f is left after removal"
done
userdel "$user"
log "done in $((SECONDS - t0)) s"
