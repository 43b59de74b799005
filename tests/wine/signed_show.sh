#!/usr/bin/env bash
# Signs a packaged show as an author does and runs it under Wine: a throwaway chain
# (root, intermediate, signer) made with openssl, the show packed by quindle-pack,
# signed and verified with osslsigncode; quindle-pack's verify, list, info and extract
# must read the signed show; then the Windows tests' SignedShow cases run it (its path
# in QUINDLE_SIGNED_SHOW).
#   tests/wine/signed_show.sh WINE_TESTS_EXE     (inside scripts/with-wine.sh, as CTest runs it)
set -euo pipefail
exe=$1
bin=$(cd "$(dirname "$exe")" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=${WINE64:-/usr/lib/wine/wine64}
work=$(mktemp -d /tmp/quindle-signed.XXXXXX)
trap 'rm -rf "$work"' EXIT
# Wine's drive Z: is the Linux root.
win() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
tool() { "$wine" "$bin/quindle-pack.exe" "$@"; }
fail() { echo "signed show: $*" >&2; exit 1; }

"$root/scripts/test-signing-chain.sh" "$work/chain"
mkdir "$work/in"
cp "$bin/standin.exe" "$bin/zanticrun.dll" "$work/in/"
printf '[Settings]\r\nPassword=0\r\nZantic Screen Name=Signed Show\r\n' > "$work/in/show.ini"
tool pack --stub "$(win "$bin/runner.exe")" --out "$(win "$work/unsigned.exe")" \
  "$(win "$work/in/standin.exe")" "$(win "$work/in/zanticrun.dll")" "$(win "$work/in/show.ini")"
osslsigncode sign -pkcs12 "$work/chain/signer.p12" -pass test -n "Signed Show" -h sha256 \
  -in "$work/unsigned.exe" -out "$work/SignedShow.exe" >/dev/null
osslsigncode verify -CAfile "$work/chain/root.pem" -in "$work/SignedShow.exe" > "$work/verify.txt" ||
  { cat "$work/verify.txt"; fail "osslsigncode does not verify the signed show"; }
grep -q "Signature verification: ok" "$work/verify.txt" || fail "osslsigncode verify did not say ok"
echo "signed show: $(stat -c %s "$work/unsigned.exe") bytes unsigned, $(stat -c %s "$work/SignedShow.exe") signed;" \
     "osslsigncode verifies it"

show=$(win "$work/SignedShow.exe")
tool verify "$show" | tr -d '\r' | tee "$work/out.txt"
grep -q "1 session(s), 3 entries, sound" "$work/out.txt" || fail "verify"
tool list "$show" | tr -d '\r' > "$work/out.txt"
for name in standin.exe zanticrun.dll show.ini; do
  grep -q "^  $name " "$work/out.txt" || { cat "$work/out.txt"; fail "list does not show $name"; }
done
tool info "$show" | tr -d '\r' > "$work/out.txt"
grep -qF "  signature      signed by $(cat "$work/chain/subject.txt") (not checked" "$work/out.txt" ||
  { cat "$work/out.txt"; fail "info does not name the signer"; }
grep -F "  signature" "$work/out.txt"
tool extract "$show" --to "$(win "$work/out")"
for name in standin.exe zanticrun.dll show.ini; do
  cmp "$work/in/$name" "$work/out/$name" || fail "extract: $name differs"
done
echo "signed show: quindle-pack verify, list, info and extract read it"

QUINDLE_SIGNED_SHOW=$show "$(dirname "$0")/../../scripts/wine-run.sh" "$exe" --gtest_filter='SignedShow.*' | tr -d '\r' | tee "$work/out.txt"
# The cases must have run, not been filtered away or skipped.
grep -q '^\[       OK \] SignedShow\.' "$work/out.txt" && ! grep -q '^\[  SKIPPED \]\|^\[  FAILED  \]' "$work/out.txt" ||
  fail "the SignedShow cases did not all run and pass"
