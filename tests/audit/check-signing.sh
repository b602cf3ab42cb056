#!/bin/sh
# usage: check-signing.sh SOURCE_DIR VELMORA_EXE WORK_DIR PYTHON AUDIT...
#
# Signs copies of Velmora.exe as scripts/release.sh --sign does, with a
# throwaway self-signed certificate made here, twice: once with a
# time-stamping service that does not answer, and once with one of its own on
# this machine (openssl ts behind Python's HTTP server). Checks that
# osslsigncode accepts both signatures of each, a SHA-1 one with a SHA-256 one
# nested in it, that each of the second carries a timestamp that osslsigncode
# accepts too, that the command said which, and that the signed exe still
# passes the audit (the command PYTHON AUDIT..., given the signed exe).
set -eu
source=$1
exe=$2
work=$3
python=$4
shift 3
mkdir -p "$work"
export VELMORA_SIGN_PASSWORD="throwaway $$"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Velmora test signer" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" \
    -passout env:VELMORA_SIGN_PASSWORD -out "$work/signer.pfx"

status=0
fault() {
    echo "FAULT $*" >&2
    status=1
}

# Signs a copy of the exe as NAME with the service at URL, then checks what
# sign.sh said against SAID and that the signatures verify, with TIMESTAMPS of
# them timestamped. Extra arguments go to osslsigncode verify.
check() {
    name=$1 url=$2 expected=$3 timestamps=$4
    shift 4
    cp "$exe" "$work/$name"
    said=$("$source/scripts/sign.sh" --timestamp "$url" "$work/signer.pfx" "$work/$name")
    echo "$said"
    verified=$(osslsigncode verify -CAfile "$work/certificate.pem" "$@" -in "$work/$name") ||
        fault "osslsigncode does not accept the signatures of $name"
    echo "$verified"
    case $said in
    *"$expected"*) ;;
    *) fault "sign.sh did not say \"$expected\" for $name" ;;
    esac
    digests=$(echo "$verified" | sed -n 's/^Message digest algorithm *: *//p' | sort -u | tr '\n' ' ')
    [ "$digests" = "SHA1 SHA256 " ] || fault "$name is signed with $digests, not SHA1 and SHA256"
    echo "$verified" | grep -q '^Number of verified signatures: 2$' ||
        fault "osslsigncode verified other than 2 signatures of $name"
    stamped=$(echo "$verified" | grep -c '^Timestamp Server Signature verification: ok$' || true)
    [ "$stamped" = "$timestamps" ] ||
        fault "$name has $stamped accepted timestamps, not $timestamps"
}

# Nothing listens on port 9 of this machine: the service does not answer.
check unstamped.exe http://127.0.0.1:9/ "without a timestamp" 0

# The local service: a certificate for time-stamping only, and openssl ts's
# settings; Python answers each request on a port of its choice, and says
# which in a file.
tsa=$work/tsa
mkdir -p "$tsa"
# However the check ends, also interrupted, the service stops with it.
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
import http.server, os, subprocess, sys

tsa = sys.argv[1]

class TimeStamping(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(
            ["openssl", "ts", "-reply", "-config", tsa + "/openssl.cnf",
             "-queryfile", "/dev/stdin", "-out", "/dev/stdout"],
            input=query, capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
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
check stamped.exe "http://127.0.0.1:$(cat "$tsa/port" 2>/dev/null)/" "each timestamped" 2 \
    -TSA-CAfile "$tsa/certificate.pem"

"$@" "$work/stamped.exe" || status=1
exit $status
