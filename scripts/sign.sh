#!/bin/sh
# usage: scripts/sign.sh CERTIFICATE.pfx FILE.exe
#
# Signs FILE.exe in place with Authenticode (Debian's osslsigncode), with the
# certificate and private key in CERTIFICATE.pfx. The password comes from
# VELMORA_SIGN_PASSWORD or else from a prompt, never from the command line,
# where every user of the machine can read it; osslsigncode reads it from a
# file that only this user may read, removed at the end.
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 CERTIFICATE.pfx FILE.exe" >&2
    exit 2
fi
certificate=$1
exe=$2
if [ -z "${VELMORA_SIGN_PASSWORD+set}" ]; then
    printf 'Password of %s: ' "$certificate" >/dev/tty
    stty -echo </dev/tty
    IFS= read -r VELMORA_SIGN_PASSWORD </dev/tty || true
    stty echo </dev/tty
    echo >/dev/tty
fi
password=$(mktemp)
trap 'rm -f "$password" "$exe.signed"' EXIT
printf '%s' "$VELMORA_SIGN_PASSWORD" >"$password"
osslsigncode sign -pkcs12 "$certificate" -readpass "$password" -n Velmora \
    -in "$exe" -out "$exe.signed" >/dev/null
mv "$exe.signed" "$exe"
