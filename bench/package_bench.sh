#!/usr/bin/env bash
# Session package benchmark: builds mixed sessions (half compressible text, half random)
# of each size given in MiB (default: 256 1024), then measures packing with one thread
# and with all, our extraction against a bare zlib inflate loop over the same streams,
# and the peak resident memory of the extraction.
#   bench/package_bench.sh [MIB...]        work files go to $BENCH_DIR (default build/bench-data)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(256 1024)
build=$root/build/bench
work=${BENCH_DIR:-$root/build/bench-data}
cores=$(nproc)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target quindle-pack quindle_package_posix -j2 >/dev/null
clang++ -std=c++17 -O2 -I"$root" "$root/bench/package_bench.cpp" "$build/lib/libquindle_package_posix.a" \
        "$build/lib/libquindle_package.a" "$build/lib/libquindle_base.a" -lz -ldeflate -o "$build/package_bench"
pack=$build/bin/quindle-pack
helper=$build/package_bench

# Wall seconds and peak RSS (KiB) of a command: "SECONDS KIB"; its stdout goes to $3.
timed() {
  local out=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$out"
  cat "$work/time.txt"
}
fresh_out() { rm -rf "$work/out"; mkdir "$work/out"; sync; }
mibps() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1048576 / s }'; }

trap 'rm -rf "$work"' EXIT
for mib in "${sizes[@]}"; do
  rm -rf "$work"; mkdir -p "$work/in" "$work/out"
  # Other work on the machine skews every figure; the load average tells how much.
  printf '\n== %s MiB session (%s cores, load average %s)\n' "$mib" "$cores" "$(cut -d' ' -f1-3 /proc/loadavg)"
  "$helper" gen "$work/in" "$mib"
  printf 'MZ' >"$work/in/projector.exe"  # a show has a program, or pack refuses it
  sync
  head -c 65536 /dev/zero >"$work/stub.exe"
  bytes=$(du -sb "$work/in" | cut -f1)

  sync  # every timed run below starts with no dirty pages waiting for writeback
  read -r t1 _ < <(timed /dev/null "$pack" pack --stub "$work/stub.exe" --out "$work/show1.exe" --threads 1 "$work/in")
  sync
  read -r tn _ < <(timed /dev/null "$pack" pack --stub "$work/stub.exe" --out "$work/show.exe" --threads "$cores" "$work/in")
  cmp -s "$work/show1.exe" "$work/show.exe" && same=identical || same=DIFFERENT
  rm -f "$work/show1.exe"
  stored=$(stat -c %s "$work/show.exe")
  echo "packing: 1 thread $(mibps "$bytes" "$t1") MiB/s (${t1} s), $cores threads $(mibps "$bytes" "$tn") MiB/s (${tn} s)," \
       "speed-up $(awk -v a="$t1" -v b="$tn" 'BEGIN { printf "%.2f", a / b }'), outputs $same," \
       "archive $((stored / 1048576)) MiB"

  cat "$work/show.exe" >/dev/null  # same page-cache state for every run below
  best_ours=999999; best_bare=999999; best_inflate=999999; rss=0
  run_ours() {
    fresh_out
    read -r _ kib < <(timed "$work/ours.txt" "$helper" ours "$work/show.exe" "$work/out")
    read -r s _ <"$work/ours.txt"
    best_ours=$(awk -v a="$best_ours" -v b="$s" 'BEGIN { print (b < a ? b : a) }')
    [ "$kib" -gt "$rss" ] && rss=$kib
    return 0
  }
  run_bare() {
    fresh_out
    timed "$work/bare.txt" "$helper" bare "$work/show.exe" "$work/out" >/dev/null
    read -r s _ <"$work/bare.txt"
    best_bare=$(awk -v a="$best_bare" -v b="$s" 'BEGIN { print (b < a ? b : a) }')
  }
  # Alternating order, best of three each, so neither side always follows the other.
  for round in 1 2 3; do
    if [ $((round % 2)) -eq 1 ]; then run_ours; run_bare; else run_bare; run_ours; fi
    timed "$work/inflate.txt" "$helper" inflate-only "$work/show.exe" >/dev/null
    read -r s _ <"$work/inflate.txt"
    best_inflate=$(awk -v a="$best_inflate" -v b="$s" 'BEGIN { print (b < a ? b : a) }')
  done
  run_ours  # leaves our output for the check below
  cmp -s "$work/in/text0.txt" "$work/out/text0.txt" || echo "WARNING: extracted text0.txt differs"
  echo "extraction (ours):             $(mibps "$bytes" "$best_ours") MiB/s (${best_ours} s), peak RSS $((rss / 1024)) MiB ($rss KiB)"
  echo "bare inflate loop with writes: $(mibps "$bytes" "$best_bare") MiB/s (${best_bare} s)"
  echo "ratio ours / bare:             $(awk -v a="$best_ours" -v b="$best_bare" 'BEGIN { printf "%.3f", b / a }')"
  echo "inflate only, no file writes:  $(mibps "$bytes" "$best_inflate") MiB/s (${best_inflate} s)"
done
