#!/usr/bin/env bash
# Soak of one packaged presentation under Wine (the runner with the stand-in projector
# and the hook library): ROWS shows in a row, then AT_ONCE at once from copies of the
# file and AT_ONCE at once of the same file. Prints each failure and each trace left
# (temporary folder entries, marker atoms, a held mutex, mappings, deletions left for a
# restart), then: shows, failures, leftovers and the median start (CreateProcess until
# the projector shows inside the runner window). Exits non-zero on any failure or trace.
#   bench/soak.sh [ROWS [AT_ONCE]]     (default 50 and 4; BUILD_DIR, default build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-50}
at_once=${2:-4}
build=$(cd "$root" && realpath -m "${BUILD_DIR:-build/win64}")

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" \
      -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build "$build" --target soak_bench -j2 >/dev/null
echo "soak ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine))"
"$root/scripts/with-wine.sh" bash -c '"$WINE64" "$1" "$2" "$3"' soak_bench "$build/bin/soak_bench.exe" "$rows" "$at_once"
