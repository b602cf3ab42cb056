#!/bin/sh
# usage: check-signing.sh SOURCE_DIR VELMORA_EXE WORK_DIR AUDIT...
#
# Signs a copy of Velmora.exe as scripts/release.sh --sign does, with a
# throwaway self-signed certificate made here, then checks that osslsigncode
# accepts the signature and that the signed exe still passes the audit (the
# command AUDIT..., given the signed exe).
set -eu
source=$1
exe=$2
work=$3
shift 3
mkdir -p "$work"
cp "$exe" "$work/Velmora.exe"
export VELMORA_SIGN_PASSWORD="throwaway $$"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Velmora test signer" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" \
    -passout env:VELMORA_SIGN_PASSWORD -out "$work/signer.pfx"

"$source/scripts/sign.sh" "$work/signer.pfx" "$work/Velmora.exe"
osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/Velmora.exe"
"$@" "$work/Velmora.exe"
