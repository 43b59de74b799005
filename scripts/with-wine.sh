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
xvfb_pid=""
display=""
for n in $(seq 90 130); do
  if [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; then continue; fi
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 {prefix_lock}>&- &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    if [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' \n' </tmp/.X$n-lock 2>/dev/null)" = "$xvfb_pid" ]; then
      display=:$n
      break 2
    fi
    sleep 0.05
  done
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[ -n "$display" ] || { echo "with-wine: no free X display" >&2; exit 1; }
export DISPLAY=$display

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating Wine prefix $WINEPREFIX"
  "$WINE64" wineboot --init >/dev/null 2>&1 {prefix_lock}>&- || true
  # wineboot leaves its own server running for a while, saving the new prefix at its end.
  wineserver -w || true
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
