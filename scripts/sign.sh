#!/bin/sh
# usage: scripts/sign.sh (--timestamp URL | --no-timestamp)
#                        (--sha1-cert SHA1.pfx | --one-cert) [--ca-file CA.pem]
#                        CERTIFICATE.pfx FILE.exe
#
# Signs FILE.exe in place with Authenticode (Debian's osslsigncode), twice, as
# software that still supports Windows XP signs: a SHA-1 signature, the one
# that Windows 2000 and XP before SP3 can check, with a SHA-256 signature
# nested in it, which Windows 7 and later prefer. CERTIFICATE.pfx holds the
# certificate and private key of the SHA-256 one; --sha1-cert names the
# certificate of the SHA-1 one, since Windows 2000 and XP before SP3 cannot
# check a certificate chain that is itself signed with SHA-256, as those sold
# today are. --one-cert signs both with CERTIFICATE.pfx, and says which
# Windows then cannot check the SHA-1 one; without either, nothing is signed.
#
# --timestamp URL has the time-stamping service at URL stamp each signature,
# so that Windows goes on accepting it after the certificate expires: the
# SHA-1 one with a legacy Authenticode timestamp, the only kind that Windows
# 2000 and XP read, the SHA-256 one with an RFC 3161 timestamp. Where the
# service does not answer, nothing is signed, FILE.exe is left as it was and
# the command fails. --no-timestamp signs without one, and says so: such
# signatures are valid only while the certificate is.
#
# What it signed replaces FILE.exe only once osslsigncode verify accepts both
# signatures, and each timestamp asked for, against the certificates in
# CA.pem (by default the system's, /etc/ssl/certs/ca-certificates.crt);
# otherwise FILE.exe is left as it was and the command fails.
#
# The password comes from VELMORA_SIGN_PASSWORD or else from a prompt; that
# of the --sha1-cert certificate from VELMORA_SIGN_SHA1_PASSWORD, or else it
# is the same. Never from the command line, where every user of the machine
# can read it: osslsigncode reads each from a file that only this user may
# read, removed at the end. A password that does not open its certificate
# is named as wrong before anything is signed.
set -eu
usage() {
    echo "usage: $0 (--timestamp URL | --no-timestamp) (--sha1-cert SHA1.pfx | --one-cert)" \
        "[--ca-file CA.pem] CERTIFICATE.pfx FILE.exe" >&2
    exit 2
}
timestamp=""
stamped=""
sha1_certificate=""
one_certificate=""
ca_file=/etc/ssl/certs/ca-certificates.crt
while [ $# -gt 2 ]; do
    case $1 in
    --timestamp)
        # An empty URL would sign without a timestamp that was asked for.
        [ -n "$2" ] || usage
        timestamp=$2
        stamped=yes
        shift 2
        ;;
    --no-timestamp)
        stamped=no
        shift
        ;;
    --sha1-cert)
        sha1_certificate=$2
        shift 2
        ;;
    --one-cert)
        one_certificate=yes
        shift
        ;;
    --ca-file)
        ca_file=$2
        shift 2
        ;;
    *) usage ;;
    esac
done
if [ $# -ne 2 ] || [ -z "$stamped" ]; then
    usage
fi
if [ -z "$sha1_certificate$one_certificate" ]; then
    echo "$0: refused: the SHA-1 signature, the one that Windows 2000 and XP before SP3" \
        "check, would be made with $1 too, whose chain they cannot check if it is signed" \
        "with SHA-256; name a SHA-1 certificate with --sha1-cert, or sign both with" \
        "--one-cert." >&2
    usage
fi
[ -z "$sha1_certificate" ] || [ -z "$one_certificate" ] || usage
certificate=$1
exe=$2
password=""
sha1_password=""
terminal=""
signer=""
# However the command ends, also interrupted: the signer stops, the password
# files go, and the terminal echoes again.
clean_up() {
    if [ -n "$signer" ]; then
        kill "$signer" 2>/dev/null || true
    fi
    if [ -n "$terminal" ]; then
        stty "$terminal" </dev/tty
    fi
    rm -f "$password" "$sha1_password" "$exe.sha1" "$exe.signed" "$exe.log" "$exe.verified"
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
sha1_password=$(mktemp)
if [ -n "$sha1_certificate" ]; then
    printf '%s' "${VELMORA_SIGN_SHA1_PASSWORD-$VELMORA_SIGN_PASSWORD}" >"$sha1_password"
else
    sha1_certificate=$certificate
    cp "$password" "$sha1_password"
fi

# A PKCS#12 file's integrity check fails with any password but its own, so a
# wrong one is named as such, rather than as whatever osslsigncode tried next.
refuse_wrong_password() {
    if openssl pkcs12 -in "$1" -passin "file:$2" -noout 2>&1 | grep -q "Mac verify error"; then
        echo "$0: not signed, and $exe is as it was: the password given for $1 is wrong." >&2
        exit 1
    fi
}
refuse_wrong_password "$certificate" "$password"
refuse_wrong_password "$sha1_certificate" "$sha1_password"

# One signature with CERTIFICATE and PASSWORD_FILE: osslsigncode in the
# background, so that a signal is handled at once rather than after it, and
# the password files go with it.
sign() {
    with=$1
    pass=$2
    shift 2
    osslsigncode sign -pkcs12 "$with" -readpass "$pass" -n Velmora "$@" >>"$exe.log" 2>&1 &
    signer=$!
    status=0
    wait "$signer" || status=$?
    signer=""
    return $status
}

: >"$exe.log"
# Each signature with its own kind of timestamp, where one is asked for.
if ! sign "$sha1_certificate" "$sha1_password" -h sha1 ${timestamp:+-t "$timestamp"} \
    -in "$exe" -out "$exe.sha1" ||
    ! sign "$certificate" "$password" -h sha256 -nest ${timestamp:+-ts "$timestamp"} \
        -in "$exe.sha1" -out "$exe.signed"; then
    cat "$exe.log" >&2
    stamp_note=""
    [ -z "$timestamp" ] ||
        stamp_note=" with a timestamp from $timestamp (--no-timestamp signs without)"
    echo "$0: not signed, and $exe is as it was: osslsigncode could not sign it$stamp_note;" \
        "see above." >&2
    exit 1
fi

# Both signatures, each stamped where a timestamp was asked for.
expected_stamps=0
[ -z "$timestamp" ] || expected_stamps=2
verified=yes
osslsigncode verify -in "$exe.signed" -CAfile "$ca_file" -TSA-CAfile "$ca_file" \
    >"$exe.verified" 2>&1 || verified=""
stamps=$(grep -c '^Timestamp Server Signature verification: ok$' "$exe.verified" || true)
if [ -z "$verified" ] || ! grep -q '^Number of verified signatures: 2$' "$exe.verified" ||
    [ "$stamps" != "$expected_stamps" ]; then
    cat "$exe.verified" >&2
    echo "$0: not signed, and $exe is as it was: osslsigncode verify did not accept both" \
        "signatures, with $expected_stamps timestamps, against $ca_file; see above." >&2
    exit 1
fi

if [ -n "$timestamp" ]; then
    said="each timestamped by $timestamp (SHA-1: Authenticode, SHA-256: RFC 3161)"
else
    said="without a timestamp, as --no-timestamp asks; Windows accepts them only while"
    said="$said the certificate is valid"
fi
mv "$exe.signed" "$exe"
if [ -n "$one_certificate" ]; then
    echo "Signed with SHA-1 and SHA-256, both by $certificate, $said, and verified. As" \
        "--one-cert asks: Windows 2000 and XP before SP3 can check the SHA-1 signature" \
        "only if that certificate's chain is signed with SHA-1."
else
    echo "Signed with SHA-1 ($sha1_certificate) and SHA-256 ($certificate), $said, and" \
        "verified."
fi
