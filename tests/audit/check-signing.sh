#!/bin/sh
# usage: check-signing.sh SOURCE_DIR VELMORA_EXE WORK_DIR AUDIT...
#
# Signs a copy of Velmora.exe as scripts/release.sh --sign does, with a
# throwaway self-signed certificate made here, and a time-stamping service
# that does not answer; then checks that osslsigncode accepts both
# signatures, a SHA-1 one with a SHA-256 one nested in it, that the command
# said there is no timestamp, and that the signed exe still passes the audit
# (the command AUDIT..., given the signed exe).
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

# Nothing listens on port 9 of this machine: the service does not answer.
said=$("$source/scripts/sign.sh" --timestamp http://127.0.0.1:9/ "$work/signer.pfx" \
    "$work/Velmora.exe")
echo "$said"
verified=$(osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/Velmora.exe")
echo "$verified"
status=0
fault() {
    echo "FAULT $*" >&2
    status=1
}
case $said in
*"without a timestamp"*) ;;
*) fault "sign.sh did not say that the signatures have no timestamp" ;;
esac
digests=$(echo "$verified" | sed -n 's/^Message digest algorithm *: *//p' | sort -u | tr '\n' ' ')
[ "$digests" = "SHA1 SHA256 " ] || fault "signed with $digests, not SHA1 and SHA256"
echo "$verified" | grep -q '^Number of verified signatures: 2$' ||
    fault "osslsigncode verified other than 2 signatures"
"$@" "$work/Velmora.exe" || status=1
exit $status
