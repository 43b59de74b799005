#!/usr/bin/env bash
# Runs the Windows tests under Wine ROUNDS times, as scripts/test.sh runs them, and
# reports every test that failed in any round with the rounds it failed in. With
# --loaded N, the first N rounds run with every core kept busy by busy loops of this
# script, as on a machine shared with other builds. Nothing is retried: a failure is
# counted and the next round starts. Each round's output is kept in the log folder
# printed at the end. Exits non-zero when any test failed in any round.
#   scripts/wine-flakiness.sh ROUNDS [--loaded N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

usage() { echo "usage: scripts/wine-flakiness.sh ROUNDS [--loaded N]" >&2; exit 2; }
[ $# -ge 1 ] || usage
rounds=$1
loaded=0
[ $# -eq 1 ] || { [ $# -eq 3 ] && [ "$2" = --loaded ] || usage; loaded=$3; }
[[ $rounds =~ ^[1-9][0-9]*$ && $loaded =~ ^[0-9]+$ ]] && [ "$loaded" -le "$rounds" ] || usage

[ -f build/win64/CMakeCache.txt ] ||
  cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake \
        -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build build/win64 -j"$(nproc)" >/dev/null

logs=$root/build/flakiness/$(date +%Y%m%d-%H%M%S)
mkdir -p "$logs"

busy=()
stop_load() {
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${busy[@]}"; do wait "$pid" 2>/dev/null || true; done
  busy=()
}
trap stop_load EXIT
start_load() {
  for _ in $(seq 1 "$(nproc)"); do
    ( while :; do :; done ) &
    busy+=($!)
  done
}

# failures[test] = rounds it failed in; kind[test] = its last CTest verdict
declare -A failures=() failed_loaded=() kind=()
summary=()
unfinished=0
for round in $(seq 1 "$rounds"); do
  load=quiet
  if [ "$round" -le "$loaded" ]; then load=loaded; start_load; fi
  log=$logs/round-$round-$load.log
  echo "== round $round of $rounds ($load): $log"
  start=$SECONDS
  rc=0
  scripts/with-wine.sh ctest --test-dir build/win64 --output-on-failure >"$log" 2>&1 || rc=$?
  took=$((SECONDS - start))
  stop_load
  # CTest lists each failure after "The following tests FAILED:" as "  NUM - NAME (WHY)".
  mapfile -t failed < <(sed -n '/^The following tests FAILED:/,$p' "$log" |
                        sed -n 's/^[[:space:]]*[0-9][0-9]* - \(.*\) (\([^()]*\))$/\1\t\2/p')
  result=green
  if [ ${#failed[@]} -gt 0 ]; then
    result="${#failed[@]} failed"
  elif [ "$rc" -ne 0 ] || ! grep -q "tests passed" "$log"; then
    result="did not run to its end (exit code $rc)"
    unfinished=1
  fi
  for line in "${failed[@]}"; do
    name=${line%%$'\t'*}
    name=${name%%  # GetParam()*}  # CTest shows a parameterised test's value after its name
    failures[$name]=$(( ${failures[$name]:-0} + 1 ))
    [ "$load" = loaded ] && failed_loaded[$name]=$(( ${failed_loaded[$name]:-0} + 1 ))
    kind[$name]=${line#*$'\t'}
  done
  summary+=("$(printf '%5s  %-6s  %4dm%02ds  %s' "$round" "$load" $((took / 60)) $((took % 60)) "$result")")
  echo "   $result after $((took / 60))m$((took % 60))s"
done

echo
echo "Wine suite: $rounds rounds, $loaded of them with all $(nproc) cores kept busy; logs in $logs"
printf '%5s  %-6s  %7s  %s\n' round load time result
printf '%s\n' "${summary[@]}"
echo
if [ ${#failures[@]} -eq 0 ]; then
  echo "No test failed in any round."
  exit "$unfinished"
fi
printf '%-8s %-8s %-8s %-10s %s\n' failed loaded quiet "last as" test
for name in "${!failures[@]}"; do
  n=${failures[$name]}
  l=${failed_loaded[$name]:-0}
  printf '%-8s %-8s %-8s %-10s %s\n' "$n/$rounds" "$l/$loaded" "$((n - l))/$((rounds - loaded))" "${kind[$name]}" "$name"
done | sort -t/ -k1,1nr
exit 1
