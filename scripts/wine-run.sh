#!/usr/bin/env bash
# Runs a Windows test program with the wine64 loader: the emulator CTest starts the
# Windows tests through, for each test and for the listing of the tests. A test program
# always prints before it ends, so a start that printed nothing is a fault of Wine or
# of the harness, not a test's failure: it is reported with the loader's exit code and
# what Wine said on its error output.
# The program's output goes to files first: a Wine service the program starts inherits
# its handles and may outlive it, and must not keep a pipe open behind it.
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
set -uo pipefail
wine=${WINE64:-/usr/lib/wine/wine64}
out=$(mktemp /tmp/wine-run-out.XXXXXX)
err=$(mktemp /tmp/wine-run-err.XXXXXX)
trap 'rm -f "$out" "$err"' EXIT
# Stopped from outside (CTest's time-out), it still shows what the program printed.
trap 'cat "$out"; cat "$err" >&2; exit 143' TERM INT

"$wine" "$@" >"$out" 2>"$err" </dev/null
rc=$?
if [ -s "$out" ]; then
  cat "$out"
  cat "$err" >&2
  exit "$rc"
fi

{
  echo "wine-run: harness fault: Wine ended with exit code $rc before the test program printed anything"
  echo "wine-run: command: $wine $*"
  echo "wine-run: WINEPREFIX=${WINEPREFIX:-} DISPLAY=${DISPLAY:-}"
  if [ -s "$err" ]; then
    echo "wine-run: Wine said:"
    sed 's/^/    /' "$err"
  else
    echo "wine-run: Wine said nothing (WINEDEBUG=${WINEDEBUG:-})"
  fi
} >&2
# Never a pass: a program that printed nothing ran no test.
[ "$rc" -ne 0 ] && exit "$rc"
exit 125
