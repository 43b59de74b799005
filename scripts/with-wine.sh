#!/usr/bin/env bash
# Runs a command with a private Xvfb display, a Wine prefix under build/ and one
# wineserver kept alive for the whole command; stops both afterwards.
#   scripts/with-wine.sh COMMAND [ARGS...]
# With QUINDLE_TWO_SCREENS=1 the display is Xorg with the dummy driver and two monitors
# side by side (tests/wine/xorg-two-screens.conf: 1024x768 at 0,0, the primary, and
# 800x600 at 1024,0), which Xvfb cannot lay out, with a prefix of its own
# (build/wineprefix-two-screens). Xorg needs root here; without root, Xorg or its dummy
# driver the script says why and exits 77 (a skip for CTest).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
two_screens=${QUINDLE_TWO_SCREENS:-}
if [ -n "$two_screens" ]; then
  export WINEPREFIX=$root/build/wineprefix-two-screens
  xorg_conf=$root/tests/wine/xorg-two-screens.conf
  missing=""
  [ "$(id -u)" = 0 ] || missing="root (Xorg starts a display only as root here)"
  command -v Xorg >/dev/null || missing="Xorg (package xserver-xorg-core)"
  [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || missing="the dummy driver (package xserver-xorg-video-dummy)"
  if [ -n "$missing" ]; then
    echo "with-wine: no two-screen display: needs $missing"
    exit 77
  fi
else
  export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINE64=/usr/lib/wine/wine64

# One run at a time per prefix: the wineserver belongs to the run that started it, and
# a second run would stop it under the first one's programs when it ends (a program
# started then ends at once, printing nothing).
mkdir -p "$WINEPREFIX"
exec {prefix_lock}>"$WINEPREFIX.lock"
if ! flock -n "$prefix_lock"; then
  echo "with-wine: waiting for another run on $WINEPREFIX to end" >&2
  flock "$prefix_lock"
fi

# The display: the lock file of a display names the server that holds it, so a display
# number another run took a moment before is seen and passed over.
start_display() {
  local n=$1
  if [ -n "$two_screens" ]; then
    Xorg ":$n" -config "$xorg_conf" -noreset -nolisten tcp -logfile "/tmp/xorg-$n.log" >/dev/null 2>&1 {prefix_lock}>&- &
  else
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 {prefix_lock}>&- &
  fi
  display_pid=$!
}
display_pid=""
display=""
for n in $(seq 90 130); do
  if [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; then continue; fi
  start_display "$n"
  # Xorg takes a few seconds to come up where Xvfb takes a fraction of one.
  for _ in $(seq 1 400); do
    kill -0 "$display_pid" 2>/dev/null || break
    if [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' \n' </tmp/.X$n-lock 2>/dev/null)" = "$display_pid" ]; then
      display=:$n
      break 2
    fi
    sleep 0.05
  done
  kill "$display_pid" 2>/dev/null || true
  wait "$display_pid" 2>/dev/null || true
  display_pid=""
done
[ -n "$display" ] || { echo "with-wine: no free X display" >&2; exit 1; }
export DISPLAY=$display

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  kill "$display_pid" >/dev/null 2>&1 || true
  wait "$display_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating Wine prefix $WINEPREFIX"
  "$WINE64" wineboot --init >/dev/null 2>&1 {prefix_lock}>&- || true
  # wineboot leaves its own server running for a while, saving the new prefix at its end.
  wineserver -w || true
fi
if [ -n "$two_screens" ]; then
  # Wine 8's desktop process dies ("free(): invalid pointer") while it lists the display
  # modes through XF86VidMode on this display, and Wine then reports one monitor only.
  # Without XF86VidMode it reports both. The server is stopped below, so the desktop
  # starts afresh with the setting.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXVidMode /t REG_SZ /d N /f >/dev/null 2>&1 {prefix_lock}>&-
fi
# A server of a run that was killed before its clean-up would make "wineserver -p"
# refuse to start (silently, exit code 2): stop it and wait for its end.
wineserver -k >/dev/null 2>&1 || true
wineserver -w || true
# Nothing started here keeps the prefix's lock: it is released when this script ends.
wineserver -p {prefix_lock}>&-
# Start Wine's own services now, with their output going nowhere: started later by a
# test program, they would inherit its output and keep CTest waiting for its end.
"$WINE64" reg query "HKCU\\Software" >/dev/null 2>&1 {prefix_lock}>&- || true
"$@" {prefix_lock}>&-
