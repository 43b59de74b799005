#!/usr/bin/env bash
# Start-up of a signed show beside the same show unsigned, in one run under Wine inside
# a Wine virtual desktop: one show packed by quindle-pack (the stand-in projector, the
# hook library, an ini), then signed by osslsigncode with a throwaway chain (root,
# intermediate, signer: a certificate table of several KiB); then RUNS starts of each,
# alternating, timed from CreateProcess until the projector shows inside the runner
# window (median and min of each, and their difference).
#   bench/signed_startup.sh [RUNS]      (default 15; BUILD_DIR, default build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
build=$(cd "$root" && realpath -m "${BUILD_DIR:-build/win64}")

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" \
      -DQUINDLE_WINE_TESTS=ON >/dev/null
cmake --build "$build" --target startup_bench -j2 >/dev/null
work=$(mktemp -d /tmp/quindle-signed-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$root/scripts/test-signing-chain.sh" "$work/chain"
echo "signed start-up benchmark ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine))"
"$root/scripts/with-wine.sh" bash -c '
  set -euo pipefail
  bin=$1 work=$2 runs=$3
  win() { local path=$1; printf "Z:%s" "${path//\//\\}"; }
  cp "$bin/standin.exe" "$bin/zanticrun.dll" "$work/"
  # The ini of startup_bench.exe: interaction on, so a pointer moved by the desktop ends nothing.
  printf "[Settings]\r\nPassword=0\r\nInteraction=1\r\nKeyInteraction=1\r\nZantic Screen Name=Startup Bench\r\n" \
    > "$work/show.ini"
  "$WINE64" "$bin/quindle-pack.exe" pack --stub "$(win "$bin/runner.exe")" --out "$(win "$work/Unsigned.exe")" \
    "$(win "$work/standin.exe")" "$(win "$work/zanticrun.dll")" "$(win "$work/show.ini")" > /dev/null
  osslsigncode sign -pkcs12 "$work/chain/signer.p12" -pass test -n "Startup Bench" -h sha256 \
    -in "$work/Unsigned.exe" -out "$work/Signed.exe" > /dev/null
  osslsigncode verify -CAfile "$work/chain/root.pem" -in "$work/Signed.exe" | grep -q "Signature verification: ok"
  echo "unsigned $(stat -c %s "$work/Unsigned.exe") bytes; signed $(stat -c %s "$work/Signed.exe") bytes"
  "$WINE64" "$bin/quindle-pack.exe" info "$(win "$work/Signed.exe")" | tr -d "\r" | grep "  signature"
  echo "== inside a Wine virtual desktop of 1024 x 768"
  "$WINE64" explorer /desktop=SignedBench,1024x768 "$(win "$bin/startup_bench.exe")" "$runs" --compare \
    "$(win "$work/Unsigned.exe")" "$(win "$work/Signed.exe")"' signed_startup "$build/bin" "$work" "$runs"
