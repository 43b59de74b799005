#!/usr/bin/env bash
# Makes a throwaway code-signing chain for tests and benchmarks: a root CA, an
# intermediate CA and a signer, as a signing certificate from a vendor comes (the
# signature then carries the signer and the intermediate, several KiB).
#   scripts/test-signing-chain.sh DIR
# Leaves in DIR: root.pem (the trust anchor for verifying), signer.p12 (signer key,
# signer and intermediate certificates; password "test") and subject.txt (the signer's
# subject as quindle-pack info shows it).
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
days=30

cat > extensions.cnf <<'CNF'
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[intermediate]
basicConstraints = critical, CA:TRUE, pathlen:0
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[signer]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF

openssl req -x509 -newkey rsa:4096 -nodes -keyout root.key -out root.pem -days $days \
  -subj "/C=DE/O=Quindle Runner Tests/CN=Quindle Test Root CA" -extensions ca -config <(
    printf '[req]\ndistinguished_name = dn\n[dn]\n'; cat extensions.cnf) 2>/dev/null
# issue NAME ISSUER SUBJECT EXTENSIONS BITS
issue() {
  openssl req -new -newkey "rsa:$5" -nodes -keyout "$1.key" -out "$1.csr" -subj "$3" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -out "$1.pem" -days $days \
    -extfile extensions.cnf -extensions "$4" 2>/dev/null
}
issue intermediate root "/C=DE/O=Quindle Runner Tests/CN=Quindle Test Intermediate CA" intermediate 4096
issue signer intermediate "/C=DE/O=Quindle Runner Tests/OU=Presentations/CN=Quindle Test Signer" signer 2048
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile intermediate.pem -out signer.p12 \
  -passout pass:test -name "Quindle Test Signer"
echo "CN=Quindle Test Signer, OU=Presentations, O=Quindle Runner Tests, C=DE" > subject.txt
