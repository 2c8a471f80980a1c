#!/usr/bin/env bash
# The single file's Authenticode signature covers the package it carries:
# the signed file verifies, and a copy with one byte of the package flipped
# does not.
#   signature_check.sh SIGNED.exe CERT.pem
set -euo pipefail
signed=$1 cert=$2
osslsigncode verify -CAfile "$cert" -in "$signed" >/dev/null || { echo "FAIL: $signed does not verify"; exit 1; }
flipped=$(mktemp "$(dirname "$signed")/flipped.XXXXXX.exe")
trap 'rm -f "$flipped"' EXIT
python3 -c "import sys; d = bytearray(open(sys.argv[1], 'rb').read()); d[len(d) - 5000] ^= 0x55; open(sys.argv[2], 'wb').write(d)" "$signed" "$flipped"
if osslsigncode verify -CAfile "$cert" -in "$flipped" >/dev/null 2>&1; then
  echo "FAIL: a byte of the package flipped, and the signature still verifies"; exit 1
fi
echo "the signature covers the package"
