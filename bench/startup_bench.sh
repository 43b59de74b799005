#!/usr/bin/env bash
# Start-up benchmark under Wine: time from CreateProcess of a packaged presentation (the
# runner with the stand-in projector and the hook library) until the projector shows
# inside the runner window, beside the stand-in projector's own start when launched
# directly and the runner's own start to its setup dialog (median and min of RUNS each,
# and their ratios); where a start's time goes, from Wine's relay trace of a few traced
# starts (process start, settings pass, extraction, the waits, the projector's start
# until input idle, window search, restyle); then the runner's processor
# time over 10 s of supervising a running show, and over 10 s in its password dialog and
# in its setup dialog ("/C"), each with the sleeping wait and with QUINDLE_DIALOG_POLLING=1
# (the polling wait, in this build only), and their ratio.
#   bench/startup_bench.sh [RUNS]      (default 7; BUILD_DIR, default build/win64)
# It runs twice: inside a Wine virtual desktop, as the demo does, and on the bare X
# display. Without a window manager Wine's X11 driver waits up to 2 s for one whenever a
# window of another process is re-parented, which the second run shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
build=$(cd "$root" && realpath -m "${BUILD_DIR:-build/win64}")

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" \
      -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build "$build" --target startup_bench -j2 >/dev/null
exe=$build/bin/startup_bench.exe
# Other work on the machine skews every figure; the load average tells how much.
echo "startup benchmark ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine))"
# Wine writes its trace to the standard error the bench and the runners it starts share.
trace=$(mktemp -d)
trap 'rm -rf "$trace"' EXIT
"$root/scripts/with-wine.sh" bash -c '
  echo "== inside a Wine virtual desktop of 1024 x 768"
  "$WINE64" explorer /desktop=StartupBench,1024x768 "Z:${1//\//\\}" "$2" --trace "Z:${3//\//\\}\\desktop.txt" \
    2>"$3/desktop.txt"
  echo "== on the bare X display (no window manager)"
  "$WINE64" "$1" "$2" --trace "Z:${3//\//\\}\\bare.txt" 2>"$3/bare.txt"' startup_bench "$exe" "$runs" "$trace"
