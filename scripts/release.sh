#!/bin/sh
# usage: scripts/release.sh [--sign CERTIFICATE.pfx]
#
# Installs what is missing, builds Velmora.exe from a clean build folder
# (build/release), audits it and packages it with CPack:
# dist/Velmora-1.00.0003-win32.zip holds Velmora.exe, LICENSE and SHA256SUMS;
# Velmora.exe.debug, the debug information that turns a crash address into a
# file and line, goes beside the ZIP. With --sign, Velmora.exe is signed with
# Authenticode before it is audited and packaged (scripts/sign.sh: the
# password comes from VELMORA_SIGN_PASSWORD or a prompt). Unsigned, the same
# commit gives the same bytes on any machine. Prints the ZIP's path and the
# SHA-256 of the exe in it.
set -eu
usage() {
    echo "usage: $0 [--sign CERTIFICATE.pfx]" >&2
    exit 2
}
certificate=""
case $# in
0) ;;
2) [ "$1" = --sign ] || usage
   certificate=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
   [ -f "$certificate" ] || { echo "$0: no such certificate: $2" >&2; exit 2; } ;;
*) usage ;;
esac
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release
rm -rf "$build" dist
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
if [ -n "$certificate" ]; then
    scripts/sign.sh "$certificate" "$build/Velmora.exe"
fi
if ! tests/audit/audit_exe.py "$build/Velmora.exe" tests/audit/windows-imports.txt \
    >"$build/audit.txt"; then
    cat "$build/audit.txt" >&2
    exit 1
fi
cpack --preset release >/dev/null
cp "$build/Velmora.exe.debug" dist/
rm -rf dist/_CPack_Packages

echo "audit: passed ($build/audit.txt)"
echo "package: dist/Velmora-1.00.0003-win32.zip"
echo "Velmora.exe SHA-256: $(sha256sum "$build/Velmora.exe" | cut -d' ' -f1)"
