#!/usr/bin/env bash
# Code signing, round trip through ./run build: with a throwaway self-signed
# certificate and key in ZEL_SIGN_CERT and ZEL_SIGN_KEY, the DLL and the
# package in dist/win32/ carry intact signatures by that certificate and the
# package carries the signed DLL; built again without them, neither file
# carries a signature. Runs on the build machine (osslsigncode, openssl,
# msiextract); leaves the trees built unsigned.
#   signing_round_trip.sh
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
DIST="$ROOT/dist/win32"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "signing round trip: $*"; failures=$((failures + 1)); }

build() {  # log name, then environment assignments
  local log="$WORK/$1.log"; shift
  env -u ZEL_SIGN_CERT -u ZEL_SIGN_KEY -u ZEL_SIGN_TIMESTAMP_URL "$@" "$ROOT/run" build >"$log" 2>&1 \
    || { tail -20 "$log"; fail "./run build failed (${*:-unsigned})"; return 1; }
}

# Which of the signature's parts osslsigncode found: present, chained to the
# given certificate, and matching the file's contents.
verify() {  # file, certificate
  local out="$WORK/verify.txt"
  osslsigncode verify -CAfile "$2" -in "$1" >"$out" 2>&1
  local status=$?
  grep -q '^Signature verification: ok' "$out" || { cat "$out"; fail "${1#"$ROOT"/}: no intact signature"; return; }
  grep -q 'Subject: /CN=ZelDMAgent signing test' "$out" || fail "${1#"$ROOT"/}: not signed by the test's certificate"
  [ "$status" = 0 ] || fail "${1#"$ROOT"/}: osslsigncode verify exited with $status"
}

unsigned() {  # file
  osslsigncode verify -in "$1" >"$WORK/verify.txt" 2>&1 && fail "${1#"$ROOT"/}: signed without a certificate given"
  grep -q 'Unable to extract existing signature' "$WORK/verify.txt" \
    || { cat "$WORK/verify.txt"; fail "${1#"$ROOT"/}: osslsigncode did not find it unsigned"; }
}

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
  -subj "/CN=ZelDMAgent signing test" -addext "extendedKeyUsage=codeSigning" >"$WORK/openssl.log" 2>&1 \
  || { cat "$WORK/openssl.log"; echo "signing round trip: FAILED (no test certificate)"; exit 1; }

if build signed ZEL_SIGN_CERT="$WORK/cert.pem" ZEL_SIGN_KEY="$WORK/key.pem"; then
  package="$(ls "$DIST"/ZelDMAgent-*.msi)"
  verify "$DIST/ZelDMAgent.dll" "$WORK/cert.pem"
  verify "$package" "$WORK/cert.pem"
  # Signed before it was packaged: the package holds the signed file.
  mkdir "$WORK/extracted"
  msiextract -C "$WORK/extracted" "$package" >/dev/null
  packaged="$(find "$WORK/extracted" -name ZelDMAgent.dll)"
  cmp -s "$packaged" "$DIST/ZelDMAgent.dll" || fail "the package's ZelDMAgent.dll is not the signed one in dist/win32"
fi

if build unsigned; then
  unsigned "$DIST/ZelDMAgent.dll"
  unsigned "$(ls "$DIST"/ZelDMAgent-*.msi)"
fi

if [ "$failures" = 0 ]; then
  echo "signing round trip: passed (the DLL and the package signed and verified, then built unsigned again)"
else
  echo "signing round trip: FAILED ($failures)"
  exit 1
fi
