#!/usr/bin/env bash
# The main job: builds the programs, packs the bundled demo presentation with quindle-pack,
# runs it under Wine in a private X display and a Wine prefix of its own, saves a screenshot
# to out/demo.png, closes the show as a user would (Escape) and reports whether the run
# directory is gone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/host -j"$jobs" --target quindle-pack 2>/dev/null || cmake --build build/host -j"$jobs"
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build build/win64 -j"$jobs"
mkdir -p out
# A prefix of its own: the demo sets Wine up for its screenshot, the tests keep Wine's defaults.
WINEPREFIX="$root/build/wineprefix-demo" exec scripts/with-wine.sh python3 scripts/run_demo.py "$@"
