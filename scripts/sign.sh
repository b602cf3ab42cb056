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
password=""
terminal=""
signer=""
# However the command ends, also interrupted: the signer stops, the password's
# file goes, and the terminal echoes again.
clean_up() {
    if [ -n "$signer" ]; then
        kill "$signer" 2>/dev/null || true
    fi
    if [ -n "$terminal" ]; then
        stty "$terminal" </dev/tty
    fi
    rm -f "$password" "$exe.signed"
}
trap clean_up EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
if [ -z "${VELMORA_SIGN_PASSWORD+set}" ]; then
    printf 'Password of %s: ' "$certificate" >/dev/tty
    terminal=$(stty -g </dev/tty)
    stty -echo </dev/tty
    IFS= read -r VELMORA_SIGN_PASSWORD </dev/tty || true
    stty "$terminal" </dev/tty
    terminal=""
    echo >/dev/tty
fi
password=$(mktemp)
printf '%s' "$VELMORA_SIGN_PASSWORD" >"$password"
# In the background, so that a signal is handled at once rather than after
# osslsigncode, and the password's file goes with it.
osslsigncode sign -pkcs12 "$certificate" -readpass "$password" -n Velmora \
    -in "$exe" -out "$exe.signed" >/dev/null &
signer=$!
wait "$signer"
signer=""
mv "$exe.signed" "$exe"
