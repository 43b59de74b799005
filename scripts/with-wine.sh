#!/usr/bin/env bash
# Runs a command with a private Xvfb display, a Wine prefix under build/ and one
# wineserver kept alive for the whole command; stops both afterwards.
#   scripts/with-wine.sh COMMAND [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINE64=/usr/lib/wine/wine64

display=""
for n in $(seq 90 130); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "with-wine: no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating Wine prefix $WINEPREFIX"
  "$WINE64" wineboot --init >/dev/null 2>&1 || true
  # wineboot leaves its own server running for a while, and "wineserver -p" refuses to
  # start while one runs: wait for it to end.
  wineserver -w || true
fi
wineserver -p
# Start Wine's own services now, with their output going nowhere: started later by a
# test program, they would inherit its output pipe and keep CTest waiting for its end.
"$WINE64" reg query "HKCU\\Software" >/dev/null 2>&1 || true
"$@"
