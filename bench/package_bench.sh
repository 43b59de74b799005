#!/usr/bin/env bash
# Session package benchmark, every figure from one run on one machine:
#  1. for each session size given in MiB (default: 256 1024), mixed sessions of 16 MiB
#     files (half compressible text, half random): packing with one thread and with all,
#     and extraction against a bare zlib inflate-and-write loop over the same streams,
#     with peak memory (private memory apart from mapped file pages) and a byte-for-byte
#     comparison of what came out;
#  2. archive size and packing time per level against zlib level 9, on the first size's
#     corpus and on a corpus of real files (the build's programs and libraries, and the
#     repository's text);
#  3. what grows with the work: extraction time and peak memory for sessions of 16, 256
#     and 1024 MiB in 1, 100 and 10,000 entries (QUINDLE_BENCH_GROWTH=0 leaves it out).
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
        "$build/lib/libquindle_package.a" "$build/lib/libquindle_base.a" -lz -ldeflate -pthread \
        -o "$build/package_bench"
pack=$build/bin/quindle-pack
helper=$build/package_bench

# Wall seconds and peak RSS (KiB) of a command: "SECONDS KIB"; its stdout goes to $1.
timed() {
  local out=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$out"
  cat "$work/time.txt"
}
fresh_out() { rm -rf "$work/out"; mkdir "$work/out"; sync; }
mibps() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", b / 1048576 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }
# Other work on the machine skews every figure; the load average tells how much.
load() { cut -d' ' -f1-3 /proc/loadavg; }

# A session of MIB mebibytes in FILES files, with the program a show needs, packed.
make_show() {
  local mib=$1 files=$2
  rm -rf "$work/in" "$work/show.exe"; mkdir -p "$work/in"
  "$helper" gen "$work/in" "$mib" "$files"
  printf 'MZ' >"$work/in/projector.exe"
  sync
  "$pack" pack --stub "$work/stub.exe" --out "$work/show.exe" "$work/in" >/dev/null
  cat "$work/show.exe" >/dev/null  # the same page-cache state for every run after
}

# Best seconds of MODE over ROUNDS extractions of the show.
best_of() {
  local mode=$1 rounds=$2 best=999999 s
  for _ in $(seq "$rounds"); do
    fresh_out
    read -r s _ < <("$helper" "$mode" "$work/show.exe" "$work/out")
    best=$(smaller "$best" "$s")
  done
  echo "$best"
}

trap 'rm -rf "$work"' EXIT
rm -rf "$work"; mkdir -p "$work"
head -c 65536 /dev/zero >"$work/stub.exe"

for mib in "${sizes[@]}"; do
  printf '\n== %s MiB session of 16 MiB files (%s cores, load average %s)\n' "$mib" "$cores" "$(load)"
  rm -rf "$work/in"; mkdir -p "$work/in"
  "$helper" gen "$work/in" "$mib" $((mib / 16))
  printf 'MZ' >"$work/in/projector.exe"
  bytes=$(du -sb "$work/in" | cut -f1)
  sync  # every timed run below starts with no dirty pages waiting for writeback
  read -r t1 _ < <(timed /dev/null "$pack" pack --stub "$work/stub.exe" --out "$work/show1.exe" --threads 1 "$work/in")
  sync
  read -r tn _ < <(timed /dev/null "$pack" pack --stub "$work/stub.exe" --out "$work/show.exe" --threads "$cores" "$work/in")
  cmp -s "$work/show1.exe" "$work/show.exe" && same=identical || same=DIFFERENT
  rm -f "$work/show1.exe"
  stored=$(stat -c %s "$work/show.exe")
  echo "packing (level 6): 1 thread $(mibps "$bytes" "$t1") MiB/s (${t1} s), $cores threads" \
       "$(mibps "$bytes" "$tn") MiB/s (${tn} s), speed-up $(ratio "$t1" "$tn"), outputs $same," \
       "archive $((stored / 1048576)) MiB"

  cat "$work/show.exe" >/dev/null
  best_ours=999999; best_bare=999999; best_streamed=999999; best_inflate=999999; rss=0
  run_ours() {
    fresh_out
    read -r _ kib < <(timed "$work/ours.txt" "$helper" ours "$work/show.exe" "$work/out")
    read -r s _ <"$work/ours.txt"
    best_ours=$(smaller "$best_ours" "$s")
    [ "$kib" -gt "$rss" ] && rss=$kib
    return 0
  }
  run_bare() {
    fresh_out
    read -r s _ < <("$helper" bare "$work/show.exe" "$work/out")
    best_bare=$(smaller "$best_bare" "$s")
  }
  # Alternating order, best of three each, so neither side always follows the other.
  for round in 1 2 3; do
    if [ $((round % 2)) -eq 1 ]; then run_ours; run_bare; else run_bare; run_ours; fi
    fresh_out
    read -r s _ < <("$helper" ours-streamed "$work/show.exe" "$work/out")
    best_streamed=$(smaller "$best_streamed" "$s")
    read -r s _ < <("$helper" inflate-only "$work/show.exe")
    best_inflate=$(smaller "$best_inflate" "$s")
  done
  fresh_out
  read -r _ _ private filepages < <("$helper" ours-memory "$work/show.exe" "$work/out")
  diff -rq "$work/in" "$work/out" >/dev/null && output=identical || output=DIFFERENT
  echo "extraction (ours):             $(mibps "$bytes" "$best_ours") MiB/s (${best_ours} s)"
  echo "bare zlib loop with writes:    $(mibps "$bytes" "$best_bare") MiB/s (${best_bare} s)"
  echo "ratio ours / bare:             $(ratio "$best_bare" "$best_ours")   (goal: at least 2)"
  echo "ours, every entry streamed:    $(mibps "$bytes" "$best_streamed") MiB/s (${best_streamed} s)," \
       "ratio to bare $(ratio "$best_bare" "$best_streamed")"
  echo "bare zlib inflate, no writes:  $(mibps "$bytes" "$best_inflate") MiB/s (${best_inflate} s)"
  echo "extracted files against the inputs: $output"
  echo "peak memory of ours: RSS $((rss / 1024)) MiB; private $((private / 1024)) MiB, mapped file pages" \
       "$((filepages / 1024)) MiB (the archive's views and the program's own)"

  if [ "$mib" = "${sizes[0]}" ]; then
    levels_corpus=$work/levels-in
    rm -rf "$levels_corpus"; mv "$work/in" "$levels_corpus"
  fi
done

# Archive size and packing time per level, against zlib level 9 of the same entries.
levels_table() {
  local corpus=$1 base=0 t size
  printf '%-7s %14s %10s %10s %8s\n' level "archive bytes" "vs level 9" "seconds" "MiB/s"
  local bytes; bytes=$(du -sb "$corpus" | cut -f1)
  for level in 9 6 10 11 12; do
    sync
    read -r t _ < <(timed /dev/null "$pack" pack --stub "$work/stub.exe" --out "$work/level.exe" --level "$level" \
                    --threads "$cores" "$corpus")
    size=$(stat -c %s "$work/level.exe")
    [ "$level" = 9 ] && base=$size
    printf '%-7s %14s %9s%% %10s %8s\n' "$level" "$size" \
           "$(awk -v s="$size" -v b="$base" 'BEGIN { printf "%+.2f", (s - b) * 100 / b }')" "$t" "$(mibps "$bytes" "$t")"
    rm -f "$work/level.exe"
  done
}

printf '\n== levels on the %s MiB corpus above (%s threads, load average %s)\n' "${sizes[0]}" "$cores" "$(load)"
levels_table "$levels_corpus"
rm -rf "$levels_corpus"

# Real files: the programs and libraries of this tree's builds (the native release build
# always, the Windows builds where they are there) and the repository's files (its
# packaged fuzz inputs aside: pack takes no show from a folder).
real=$work/real
mkdir -p "$real/native" "$real/text"
cp "$build/bin/quindle-pack" "$build"/lib/*.a "$real/native/"
for windows in win32 win64; do
  [ -d "$root/build/$windows/bin" ] || continue
  mkdir -p "$real/$windows"
  find "$root/build/$windows/bin" -maxdepth 1 -type f \( -name '*.exe' -o -name '*.dll' \) -exec cp {} "$real/$windows/" \;
done
(cd "$root" && git ls-files | grep -v '^fuzz/regressions/' | while read -r f; do
  [ -f "$f" ] && cp "$f" "$real/text/$(printf '%s' "$f" | tr / _)"; done)
printf 'MZ' >"$real/projector.exe"
printf '\n== levels on real files: %s MiB in %s files: %s (load average %s)\n' \
       "$(du -sm "$real" | cut -f1)" "$(find "$real" -type f | wc -l)" \
       "$(cd "$real" && for d in */; do printf '%s %s MiB, ' "${d%/}" "$(du -sm "$d" | cut -f1)"; done)" "$(load)"
levels_table "$real"
rm -rf "$real"

[ "${QUINDLE_BENCH_GROWTH:-1}" = 1 ] || exit 0
printf '\n== what grows with the work: extraction of sessions in N entries, each half text, half random\n'
printf '%8s %8s %10s %9s %10s %9s %12s %12s %8s\n' "MiB" entries "ours s" "MiB/s" "bare s" "ratio" \
       "private MiB" "file MiB" load
for mib in 16 256 1024; do
  for files in 1 100 10000; do
    make_show "$mib" "$files"
    ours=$(best_of ours 2)
    bare=$(best_of bare 1)
    fresh_out
    read -r _ _ private filepages < <("$helper" ours-memory "$work/show.exe" "$work/out")
    printf '%8s %8s %10s %9s %10s %9s %12s %12s %8s\n' "$mib" "$files" "$ours" "$(mibps $((mib << 20)) "$ours")" \
           "$bare" "$(ratio "$bare" "$ours")" "$(awk -v k="$private" 'BEGIN { printf "%.1f", k / 1024 }')" \
           "$(awk -v k="$filepages" 'BEGIN { printf "%.1f", k / 1024 }')" "$(cut -d' ' -f1 /proc/loadavg)"
  done
done
