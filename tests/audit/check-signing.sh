#!/bin/sh
# usage: check-signing.sh SOURCE_DIR VELMORA_EXE WORK_DIR PYTHON AUDIT...
#
# Signs copies of Velmora.exe as scripts/release.sh --sign does, with
# throwaway self-signed certificates made here, against a time-stamping
# service of its own on this machine that answers both kinds of request:
# RFC 3161 through openssl ts, and the legacy Authenticode kind, whose reply
# is a PKCS#7 signature over the request's data, made by openssl cms. Checks:
#   - with --timestamp and --sha1-cert: osslsigncode accepts both signatures,
#     the SHA-1 one by the second certificate with a legacy Authenticode
#     timestamp, the nested SHA-256 one with an RFC 3161 timestamp, each of
#     which it accepts too; the signed exe still passes the audit (the
#     command PYTHON AUDIT..., given the signed exe);
#   - with --no-timestamp and --one-cert: both signatures by the one
#     certificate, no timestamp, and it says so, and which Windows cannot
#     check the SHA-1 signature;
#   - each of these signs nothing, leaves the exe as it was and says why: a
#     service that does not answer, or an empty URL, where a timestamp is
#     asked for; one certificate for both without --one-cert; a wrong
#     password; signatures that osslsigncode verify does not accept against
#     the certificates that --ca-file names.
set -eu
source=$1
exe=$2
work=$3
python=$4
shift 3
mkdir -p "$work"
export VELMORA_SIGN_PASSWORD="throwaway $$"
export VELMORA_SIGN_SHA1_PASSWORD="another throwaway $$"
# A certificate and its key as a PKCS#12 file: NAME, subject, password,
# and openssl req's further options.
certificate() {
    name=$1 subject=$2 pass=$3
    shift 3
    openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "$subject" "$@" \
        -keyout "$work/$name.key" -out "$work/$name.pem" 2>/dev/null
    printf '%s' "$pass" | openssl pkcs12 -export -inkey "$work/$name.key" -in "$work/$name.pem" \
        -passout stdin -out "$work/$name.pfx"
}
certificate signer "/CN=Velmora test signer" "$VELMORA_SIGN_PASSWORD"
# As Windows 2000 and XP before SP3 need: a certificate signed with SHA-1.
certificate sha1-signer "/CN=Velmora test SHA-1 signer" "$VELMORA_SIGN_SHA1_PASSWORD" -sha1
cat "$work/signer.pem" "$work/sha1-signer.pem" >"$work/signers.pem"

status=0
fault() {
    echo "FAULT $*" >&2
    status=1
}

# The local service: a certificate for time-stamping only, and openssl ts's
# settings; Python answers each request on a port of its choice, and says
# which in a file. However the check ends, also interrupted, it stops with it.
tsa=$work/tsa
mkdir -p "$tsa"
service=""
trap '[ -z "$service" ] || kill "$service" 2>/dev/null || true' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
rm -f "$tsa/port"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Velmora test time-stamping" \
    -addext "extendedKeyUsage=critical,timeStamping" \
    -keyout "$tsa/key.pem" -out "$tsa/certificate.pem" 2>/dev/null
echo 01 >"$tsa/serial"
cat >"$tsa/openssl.cnf" <<SETTINGS
[ tsa ]
default_tsa = local
[ local ]
serial = $tsa/serial
signer_cert = $tsa/certificate.pem
signer_key = $tsa/key.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256
ess_cert_id_alg = sha256
SETTINGS
"$python" - "$tsa" <<'SERVICE' &
import base64, http.server, os, subprocess, sys

tsa = sys.argv[1]


def der(data, at):
    """The DER element at `at`: its tag, and where its contents start and end."""
    tag, length = data[at], data[at + 1]
    at += 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[at:at + count], "big")
        at += count
    return tag, at, at + length


def authenticode_reply(query):
    # TimeStampRequest ::= SEQUENCE { countersignatureType, content ContentInfo
    # { contentType data, [0] OCTET STRING: the signature to stamp } }
    request = base64.b64decode(query)
    _, start, _ = der(request, 0)
    _, _, after = der(request, start)
    _, start, _ = der(request, after)
    _, _, after = der(request, start)
    _, start, _ = der(request, after)
    _, start, end = der(request, start)
    signed = subprocess.run(
        ["openssl", "cms", "-sign", "-binary", "-nodetach", "-md", "sha1", "-outform", "DER",
         "-signer", tsa + "/certificate.pem", "-inkey", tsa + "/key.pem"],
        input=request[start:end], capture_output=True).stdout
    return base64.b64encode(signed), "application/octet-stream"


def rfc3161_reply(query):
    reply = subprocess.run(
        ["openssl", "ts", "-reply", "-config", tsa + "/openssl.cnf",
         "-queryfile", "/dev/stdin", "-out", "/dev/stdout"],
        input=query, capture_output=True).stdout
    return reply, "application/timestamp-reply"


class TimeStamping(http.server.BaseHTTPRequestHandler):
    def log_message(self, *arguments):
        pass  # the check says what it needs

    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        rfc3161 = self.headers["Content-Type"] == "application/timestamp-query"
        reply, kind = (rfc3161_reply if rfc3161 else authenticode_reply)(query)
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamping)
with open(tsa + "/port.new", "w") as port:
    port.write(str(server.server_address[1]))
os.replace(tsa + "/port.new", tsa + "/port")
server.serve_forever()
SERVICE
service=$!
waited=0
while [ ! -s "$tsa/port" ] && [ $waited -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
url="http://127.0.0.1:$(cat "$tsa/port" 2>/dev/null)/"
# What sign.sh verifies its signatures and timestamps against.
cat "$work/signers.pem" "$tsa/certificate.pem" >"$work/trusted.pem"

# Signs a copy of the exe as NAME with sign.sh's OPTIONS..., prints what it
# said, and keeps what osslsigncode verify then says of the copy in
# NAME.verified.
sign() {
    name=$1
    shift
    cp "$exe" "$work/$name"
    signed=0
    "$source/scripts/sign.sh" --ca-file "$work/trusted.pem" "$@" "$work/signer.pfx" \
        "$work/$name" 2>&1 || signed=$?
    osslsigncode verify -CAfile "$work/signers.pem" -TSA-CAfile "$tsa/certificate.pem" \
        -in "$work/$name" >"$work/$name.verified" 2>&1 || true
    return $signed
}

# What osslsigncode said of NAME's signatures; SIGNATURE 0 or 1 alone, where
# given (the SHA-1 one, and the SHA-256 one nested in it).
verified() {
    case ${2:-} in
    0) sed '/^Signature Index: 1/,$d' "$work/$1.verified" ;;
    1) sed -n '/^Signature Index: 1/,$p' "$work/$1.verified" ;;
    *) cat "$work/$1.verified" ;;
    esac
}

# NAME has two signatures that osslsigncode accepts, SHA-1 and SHA-256, by
# SIGNER0 and SIGNER1, with TIMESTAMPS of them stamped.
check_signatures() {
    name=$1 signer0=$2 signer1=$3 timestamps=$4
    verified "$name"
    verified "$name" | grep -q '^Number of verified signatures: 2$' ||
        fault "osslsigncode does not accept both signatures of $name"
    digests=$(verified "$name" | sed -n 's/^Message digest algorithm *: *//p' | sort -u | tr '\n' ' ')
    [ "$digests" = "SHA1 SHA256 " ] || fault "$name is signed with $digests, not SHA1 and SHA256"
    verified "$name" 0 | grep -q "Subject: /CN=$signer0\$" ||
        fault "the SHA-1 signature of $name is not $signer0's"
    verified "$name" 1 | grep -q "Subject: /CN=$signer1\$" ||
        fault "the SHA-256 signature of $name is not $signer1's"
    stamped=$(verified "$name" | grep -c '^Timestamp Server Signature verification: ok$' || true)
    [ "$stamped" = "$timestamps" ] || fault "$name has $stamped accepted timestamps, not $timestamps"
}

# Both timestamps, and the SHA-1 signature by a certificate of its own.
said=$(sign stamped.exe --timestamp "$url" --sha1-cert "$work/sha1-signer.pfx") ||
    fault "sign.sh failed with $url: $said"
echo "$said"
case $said in *"each timestamped"*) ;; *) fault "sign.sh did not say that each is stamped" ;; esac
check_signatures stamped.exe "Velmora test SHA-1 signer" "Velmora test signer" 2
# Each of its kind: a legacy Authenticode timestamp is a PKCS#9 countersignature
# of the SHA-1 signature; an RFC 3161 one, a token of its own, with a serial
# number, in the SHA-256 signature.
verified stamped.exe 0 | grep -q '^Countersignatures:$' ||
    fault "the SHA-1 signature has no Authenticode timestamp"
if verified stamped.exe 0 | grep -q '^Timestamp serial number:'; then
    fault "the SHA-1 signature has an RFC 3161 timestamp, which Windows 2000 and XP cannot read"
fi
verified stamped.exe 1 | grep -q '^Timestamp serial number:' ||
    fault "the SHA-256 signature has no RFC 3161 timestamp"
rm -f "$work/stamped.p7"
osslsigncode extract-signature -in "$work/stamped.exe" -out "$work/stamped.p7" >/dev/null
objects=$(openssl asn1parse -inform DER -in "$work/stamped.p7" | sed -n 's/.*:\([^:]*\)$/\1/p')
legacy=$(echo "$objects" | grep -cx 'countersignature' || true)
rfc3161=$(echo "$objects" | grep -cx '1.3.6.1.4.1.311.3.3.1' || true)
echo "timestamps in the signature block: $legacy Authenticode, $rfc3161 RFC 3161"
[ "$legacy $rfc3161" = "1 1" ] || fault "$legacy Authenticode and $rfc3161 RFC 3161 timestamps"

said=$(sign unstamped.exe --no-timestamp --one-cert) ||
    fault "sign.sh --no-timestamp --one-cert failed: $said"
echo "$said"
case $said in *"without a timestamp"*) ;; *) fault "sign.sh did not say it signed without one" ;; esac
case $said in *"Windows 2000 and XP before SP3"*) ;; *)
    fault "sign.sh did not say which Windows cannot check the SHA-1 signature by one certificate"
    ;;
esac
check_signatures unstamped.exe "Velmora test signer" "Velmora test signer" 0

# Signs nothing WHY, with sign.sh's OPTIONS..., says EXPECTED, and leaves the
# exe as it was.
refused() {
    why=$1 expected=$2
    shift 2
    if said=$(sign refused.exe "$@"); then
        fault "sign.sh signed $why: $said"
    fi
    echo "$said" | grep -v '^usage:' | tail -n 1
    case $said in *"$expected"*) ;; *) fault "sign.sh did not say \"$expected\" $why" ;; esac
    cmp "$work/refused.exe" "$exe" || fault "sign.sh changed the exe $why"
}
# Nothing listens on port 9 of this machine: the service does not answer. An
# empty URL names no service at all.
refused "without the timestamp it was asked for, from a service that does not answer" \
    "could not sign it with a timestamp" --timestamp http://127.0.0.1:9/ --one-cert
refused "without the timestamp it was asked for, from an empty URL" "usage:" \
    --timestamp "" --one-cert
refused "with one certificate for both, unasked" "or sign both with --one-cert" --no-timestamp
password=$VELMORA_SIGN_PASSWORD
VELMORA_SIGN_PASSWORD="wrong $$"
refused "with a wrong password" "the password given for $work/signer.pfx is wrong" \
    --no-timestamp --one-cert
VELMORA_SIGN_PASSWORD=$password
refused "what osslsigncode verify does not accept" "osslsigncode verify did not accept" \
    --no-timestamp --one-cert --ca-file "$tsa/certificate.pem"

"$@" "$work/stamped.exe" || status=1
exit $status
