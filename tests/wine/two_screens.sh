#!/usr/bin/env bash
# Runs the Windows tests' two-screen cases, which CTest starts inside
# "QUINDLE_TWO_SCREENS=1 scripts/with-wine.sh" (the display with two monitors), and
# makes sure they ran and passed rather than being filtered away or skipped.
#   tests/wine/two_screens.sh WINE_TESTS_EXE
set -euo pipefail
exe=$1
out=$(mktemp /tmp/quindle-two-screens.XXXXXX)
trap 'rm -f "$out"' EXIT
"$(dirname "$0")/../../scripts/wine-run.sh" "$exe" --gtest_filter='TwoScreens*' | tr -d '\r' |
  tee "$out"
grep -q '^\[       OK \] ' "$out" && ! grep -q '^\[  SKIPPED \]\|^\[  FAILED  \]' "$out" ||
  { echo "two screens: the cases did not all run and pass" >&2; exit 1; }
