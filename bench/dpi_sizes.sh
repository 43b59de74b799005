#!/usr/bin/env bash
# The runner's window sizes under a raised DPI, for each DPI awareness its manifest could
# declare (unaware, system aware, per-monitor aware): full screen, a custom size and a
# centred window, the client area as the runner itself reports it, the projector's
# rectangle, and each window's awareness and DPI as the system reports them. Runs with
# LogPixels 96 and 144 (HKCU\Control Panel\Desktop, which Wine 8 reads) in a Wine prefix
# of its own, on the bare X display.
#   bench/dpi_sizes.sh      (BUILD_DIR, default build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root" && realpath -m "${BUILD_DIR:-build/win64}")

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" \
      -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build "$build" --target dpi_sizes runner_dpi_unaware runner_dpi_system runner_dpi_permonitor -j2 >/dev/null
echo "DPI sizes ($(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine), screen 1024 x 768)"
WINEPREFIX="$build/wineprefix-dpi" "$root/scripts/with-wine.sh" bash -c '
  set -euo pipefail
  bin=$1
  win() { local path=$1; printf "Z:%s" "${path//\//\\}"; }
  for dpi in 96 144; do
    "$WINE64" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d $dpi /f > /dev/null
    wineserver -k; wineserver -w; wineserver -p   # the system DPI is read once per session
    echo "== LogPixels $dpi"
    "$WINE64" "$bin/dpi_sizes.exe" "unaware=$(win "$bin/runner_dpi_unaware.exe")" \
      "system=$(win "$bin/runner_dpi_system.exe")" "per-monitor=$(win "$bin/runner_dpi_permonitor.exe")"
  done' dpi_sizes "$build/bin"
