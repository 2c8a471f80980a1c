#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode (Debian's osslsigncode),
# SHA-256. The certificate and key come from LF_SIGN_CERT and LF_SIGN_KEY
# (PEM); without them, a self-made test certificate signs, which this script
# makes once with openssl under build/signing/ and which is never committed.
# A program that carries its package (lfpack build) is signed whole: the
# signature covers the package.
#   sign.sh FILE
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
file=$1
cert=${LF_SIGN_CERT:-$top/build/signing/test-cert.pem}
key=${LF_SIGN_KEY:-$top/build/signing/test-key.pem}
if [ -z "${LF_SIGN_CERT:-}" ] && [ ! -f "$cert" ]; then
  mkdir -p "$(dirname "$cert")"
  openssl req -x509 -newkey rsa:2048 -nodes -days 730 -subj "/CN=LUMENFIELD Corporation (test signing)" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$key" -out "$cert" 2>/dev/null
fi
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Quillara Browser Setup" \
  -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
echo "signed: $file"
