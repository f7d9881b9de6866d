#!/usr/bin/env bash
# Code signing through ./run build: with a throwaway self-signed certificate
# and key in ZEL_SIGN_CERT and ZEL_SIGN_KEY, dist/win32's DLL and package
# carry intact signatures by it and the package holds the signed DLL; a
# release refuses to start without a time-stamping server and leaves
# dist/win32 empty when its signatures get no time stamp; built again
# without them, neither is signed. Leaves the trees built unsigned.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "signing round trip: $*"; failures=$((failures + 1)); }
build() {  # environment assignments
  env -u ZEL_SIGN_CERT -u ZEL_SIGN_KEY -u ZEL_SIGN_TIMESTAMP_URL -u ZEL_SIGN_PKCS11_MODULE -u ZEL_SIGN_PKCS11_ENGINE "$@" "$ROOT/run" build >"$WORK/build.log" 2>&1 \
    || { tail -20 "$WORK/build.log"; fail "./run build ${*:-(unsigned)} failed"; }
}
# osslsigncode's verdict on one file: SIGNED (intact, by the test's
# certificate) or UNSIGNED.
check() {  # verdict, file
  local tsa=()
  [ ! -f "$WORK/tsa-cert.pem" ] || tsa=(-TSA-CAfile "$WORK/tsa-cert.pem")
  osslsigncode verify -CAfile "$WORK/cert.pem" "${tsa[@]}" -in "$2" >"$WORK/verify.txt" 2>&1
  case "$1" in
    SIGNED) grep -q '^Signature verification: ok' "$WORK/verify.txt" \
              && grep -q 'Subject: /CN=ZelDMAgent signing test' "$WORK/verify.txt" ;;
    UNSIGNED) grep -q 'Unable to extract existing signature' "$WORK/verify.txt" ;;
  esac || { cat "$WORK/verify.txt"; fail "${2#"$ROOT"/} is not $1"; }
}

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
  -subj "/CN=ZelDMAgent signing test" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 \
  || fail "openssl made no test certificate"

build ZEL_SIGN_CERT="$WORK/cert.pem" ZEL_SIGN_KEY="$WORK/key.pem"
package="$(ls "$ROOT"/dist/win32/ZelDMAgent-*.msi)"
check SIGNED "$ROOT/dist/win32/ZelDMAgent.dll"
check SIGNED "$package"
mkdir "$WORK/extracted" && msiextract -C "$WORK/extracted" "$package" >/dev/null
cmp -s "$(find "$WORK/extracted" -name ZelDMAgent.dll)" "$ROOT/dist/win32/ZelDMAgent.dll" \
  || fail "the package's ZelDMAgent.dll is not the signed one: signed after it was packaged?"

# A release: refused before anything is built when a time stamp cannot be
# asked for; when the time-stamping server does not answer, nothing is left
# in dist/win32 that could pass for a release; with a server (a throwaway
# one here, RFC 3161 over HTTP), both outputs carry a time stamp.
release() {  # expected message, environment assignments
  local expected="$1" status=0; shift
  env -u ZEL_SIGN_TIMESTAMP_URL -u ZEL_SIGN_PKCS11_MODULE -u ZEL_SIGN_PKCS11_ENGINE "$@" \
    "$ROOT/run" build --release >"$WORK/release.log" 2>&1 || status=$?
  if [ "$expected" = accepted ] && [ "$status" != 0 ]; then
    tail -5 "$WORK/release.log"; fail "./run build --release ($*): refused"
  elif [ "$expected" != accepted ] && [ "$status" = 0 ]; then
    fail "./run build --release ($*): accepted"
  elif ! grep -q "$expected" "$WORK/release.log" && [ "$expected" != accepted ]; then
    tail -5 "$WORK/release.log"; fail "./run build --release: no \"$expected\""
  fi
}
release "refused.*ZEL_SIGN_TIMESTAMP_URL" ZEL_SIGN_CERT="$WORK/cert.pem" ZEL_SIGN_KEY="$WORK/key.pem"
[ -f "$ROOT/dist/win32/ZelDMAgent.dll" ] || fail "a refused release emptied dist/win32 before it started"
release "dist/win32 is empty" ZEL_SIGN_CERT="$WORK/cert.pem" ZEL_SIGN_KEY="$WORK/key.pem" \
  ZEL_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
[ -z "$(ls "$ROOT/dist/win32" 2>/dev/null)" ] || fail "a failed release left files in dist/win32: $(ls "$ROOT/dist/win32" | xargs)"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/tsa-key.pem" -out "$WORK/tsa-cert.pem" -days 2 \
  -subj "/CN=ZelDMAgent time stamp test" -addext "extendedKeyUsage=critical,timeStamping" >/dev/null 2>&1 \
  || fail "openssl made no test time-stamping certificate"
printf '[tsa]\ndefault_tsa = test\n[test]\nserial = %s\ncrypto_device = builtin\nsigner_digest = sha256\ndefault_policy = 1.2.3.4.1\ndigests = sha256\ness_cert_id_alg = sha256\n' \
  "$WORK/tsa-serial" >"$WORK/tsa.cnf"
echo 01 >"$WORK/tsa-serial"
python3 - "$WORK" <<'PY' &
import http.server, os, subprocess, sys
work = sys.argv[1]
class TimeStamps(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        open(f"{work}/tsa-query", "wb").write(self.rfile.read(int(self.headers["Content-Length"])))
        subprocess.run(["openssl", "ts", "-reply", "-config", f"{work}/tsa.cnf", "-queryfile", f"{work}/tsa-query",
                        "-inkey", f"{work}/tsa-key.pem", "-signer", f"{work}/tsa-cert.pem", "-out", f"{work}/tsa-reply"],
                       stderr=subprocess.DEVNULL, check=True)
        reply = open(f"{work}/tsa-reply", "rb").read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *args): pass
server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamps)
open(f"{work}/tsa-port.partial", "w").write(str(server.server_address[1]))
os.rename(f"{work}/tsa-port.partial", f"{work}/tsa-port")
server.serve_forever()
PY
tsa=$!
for _ in $(seq 50); do [ -f "$WORK/tsa-port" ] && break; sleep 0.1; done
release accepted ZEL_SIGN_CERT="$WORK/cert.pem" ZEL_SIGN_KEY="$WORK/key.pem" \
  ZEL_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$WORK/tsa-port" 2>/dev/null)/"
kill "$tsa" 2>/dev/null; wait "$tsa" 2>/dev/null
for file in "$ROOT/dist/win32/ZelDMAgent.dll" "$package"; do
  check SIGNED "$file"
  grep -q 'Timestamp time:' "$WORK/verify.txt" || fail "${file#"$ROOT"/} carries no time stamp"
done

build
check UNSIGNED "$ROOT/dist/win32/ZelDMAgent.dll"
check UNSIGNED "$package"

[ "$failures" = 0 ] && echo "signing round trip: passed" && exit 0
echo "signing round trip: FAILED ($failures)"
exit 1
