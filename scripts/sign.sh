#!/bin/sh
# usage: scripts/sign.sh [--timestamp URL] CERTIFICATE.pfx FILE.exe
#
# Signs FILE.exe in place with Authenticode (Debian's osslsigncode), with the
# certificate and private key in CERTIFICATE.pfx, twice: a SHA-1 signature,
# which every Windows that Velmora supports can check (Windows 2000 and XP
# before SP3 know no other), with a SHA-256 signature nested in it, which
# Windows 7 and later prefer. With --timestamp, each gets an RFC 3161
# timestamp from the time-stamping service at URL, so that Windows goes on
# accepting it after the certificate expires; where the service does not
# answer (no network), the file is signed without one, and the command says
# so. The password comes from VELMORA_SIGN_PASSWORD or else from a prompt,
# never from the command line, where every user of the machine can read it;
# osslsigncode reads it from a file that only this user may read, removed at
# the end.
set -eu
usage() {
    echo "usage: $0 [--timestamp URL] CERTIFICATE.pfx FILE.exe" >&2
    exit 2
}
timestamp=""
if [ "${1:-}" = --timestamp ]; then
    [ $# -ge 2 ] || usage
    timestamp=$2
    shift 2
fi
[ $# -eq 2 ] || usage
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
    rm -f "$password" "$exe.sha1" "$exe.signed" "$exe.log"
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

# One signature: osslsigncode in the background, so that a signal is handled
# at once rather than after it, and the password's file goes with it.
sign() {
    osslsigncode sign -pkcs12 "$certificate" -readpass "$password" -n Velmora "$@" \
        >"$exe.log" 2>&1 &
    signer=$!
    wait "$signer"
    status=$?
    signer=""
    return $status
}

failed() {
    cat "$exe.log" >&2
    echo "$0: osslsigncode cannot sign $exe with $certificate" >&2
    exit 1
}

# Both signatures, with a timestamp each where one is asked for.
sign_twice() {
    sign -h sha1 "$@" -in "$exe" -out "$exe.sha1" &&
        sign -h sha256 -nest "$@" -in "$exe.sha1" -out "$exe.signed"
}

if [ -n "$timestamp" ] && sign_twice -ts "$timestamp"; then
    echo "Signed with SHA-1 and SHA-256, each timestamped by $timestamp."
else
    sign_twice || failed
    why="no --timestamp given"
    [ -z "$timestamp" ] || why="$timestamp did not answer"
    echo "Signed with SHA-1 and SHA-256, without a timestamp ($why)." \
        "Windows accepts the signatures only while the certificate is valid."
fi
mv "$exe.signed" "$exe"
