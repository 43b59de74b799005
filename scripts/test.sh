#!/usr/bin/env bash
# Builds everything and runs every test: native core (sanitizers, fuzzing),
# then the Windows tests under Wine, then the static check of the 32-bit programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DQUINDLE_SANITIZE=ON -DQUINDLE_FUZZ=ON
cmake --build build/host -j"$jobs"
cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake \
      -DQUINDLE_WINE_TESTS=ON
cmake --build build/win64 -j"$jobs"
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake
cmake --build build/win32 -j"$jobs"

echo "== native tests"
ctest --test-dir build/host --output-on-failure -j"$jobs"

echo "== static check of the 32-bit programs"
# The shipping runner inflates entries with the libdeflate it links, as the 64-bit build does.
python3 tools/check_pe.py --machine i386 --gui --manifest build/win32/bin/runner.exe --resource MAINICON \
  --symbol libdeflate_zlib_decompress_ex
for prog in build/win32/bin/*.exe build/win32/bin/*.dll; do
  [ -e "$prog" ] || continue
  python3 tools/check_pe.py --machine i386 "$prog"
done

echo "== Windows tests under Wine"
scripts/with-wine.sh ctest --test-dir build/win64 --output-on-failure
