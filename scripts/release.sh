#!/bin/sh
# usage: scripts/release.sh [--dirty]
#            [--sign CERTIFICATE.pfx (--timestamp URL | --no-timestamp)
#             (--sha1-cert SHA1.pfx | --one-cert) [--ca-file CA.pem]]
#
# Releases the commit that is checked out. Installs what is missing, exports
# the commit's files into build/release/source, builds Velmora.exe there from
# clean, runs the test command's checks of the exe (the audit, the same bytes
# when built again in another folder, a signed copy, the package) and
# packages it with CPack: dist/Velmora-VERSION-win32.zip holds Velmora.exe,
# README.txt for whoever runs it, FOLDER.txt (the folder to run it from, on
# each Windows), LICENSE, BUILD.txt (the commit and the tools that built it)
# and SHA256SUMS. Velmora.exe.debug, the debug
# information that turns a crash address into a file and line, goes beside
# the ZIP. Prints the ZIP's path, the SHA-256 of the exe as built, which
# BUILD.txt names too and a rebuild gives again, and, where it was signed,
# that of the signed exe in the ZIP.
#
# A working tree with uncommitted or untracked changes is refused: what ships
# is what a commit holds. --dirty releases the working tree as it stands, and
# BUILD.txt says so.
#
# With --sign, Velmora.exe is signed with Authenticode after the checks and
# audited again before it is packaged (scripts/sign.sh: a SHA-1 signature,
# with the certificate in SHA1.pfx, with a SHA-256 one nested in it). Signing
# asks for explicit choices: --timestamp URL has the service at URL stamp
# both signatures, and where it does not answer the release stops;
# --no-timestamp signs without; --one-cert signs the SHA-1 signature with
# CERTIFICATE.pfx too, where --sha1-cert names no other. Nothing is packaged
# unless osslsigncode verify accepts both signatures and each timestamp asked
# for, against CA.pem (by default the system's certificates): sign.sh
# replaces the exe only then, and the release stops otherwise. The passwords
# come from VELMORA_SIGN_PASSWORD (and VELMORA_SIGN_SHA1_PASSWORD) or a
# prompt.
# Unsigned, the same commit gives the same bytes on any machine with the
# same tools.
set -eu
usage() {
    echo "usage: $0 [--dirty] [--sign CERTIFICATE.pfx (--timestamp URL | --no-timestamp)" \
        "(--sha1-cert SHA1.pfx | --one-cert) [--ca-file CA.pem]]" >&2
    exit 2
}
# The full path of an existing file, which stays right after cd.
existing() {
    [ -f "$1" ] || { echo "$0: no such certificate: $1" >&2; exit 2; }
    echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
}
certificate=""
sha1_certificate=""
one_certificate=""
ca_file=""
timestamp=""    # the service's URL, or "none" for --no-timestamp
dirty=0
while [ $# -gt 0 ]; do
    case $1 in
    --dirty)
        dirty=1
        shift
        ;;
    --sign)
        [ $# -ge 2 ] || usage
        certificate=$(existing "$2")
        shift 2
        ;;
    --sha1-cert)
        [ $# -ge 2 ] || usage
        sha1_certificate=$(existing "$2")
        shift 2
        ;;
    --one-cert)
        one_certificate=yes
        shift
        ;;
    --ca-file)
        [ $# -ge 2 ] || usage
        ca_file=$(existing "$2")
        shift 2
        ;;
    --timestamp)
        [ $# -ge 2 ] || usage
        timestamp=$2
        shift 2
        ;;
    --no-timestamp)
        timestamp=none
        shift
        ;;
    *) usage ;;
    esac
done
# Signing needs a choice about the timestamp and the SHA-1 certificate;
# nothing else does.
if [ -n "$certificate" ]; then
    [ -n "$timestamp" ] && [ -n "$sha1_certificate$one_certificate" ] || usage
elif [ -n "$timestamp$sha1_certificate$one_certificate$ca_file" ]; then
    usage
fi
cd "$(dirname "$0")/.."
top=$PWD

changes=$(git status --porcelain --untracked-files=all)
if [ -n "$changes" ] && [ $dirty = 0 ]; then
    echo "$0: refused: the working tree has uncommitted or untracked changes (git status" \
        "lists them); commit them, or release the tree as it stands with --dirty." >&2
    exit 1
fi
scripts/install-deps.sh

commit=$(git rev-parse HEAD)
source=build/release/source
rm -rf build/release dist
mkdir -p "$source" dist
if [ -z "$changes" ]; then
    git archive "$commit" | tar -x -C "$source"
    built_from="commit $commit"
else
    # Files deleted but not yet committed are listed too, and left out.
    git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -x -C "$source"
    built_from="commit $commit with uncommitted changes (release.sh --dirty): not a release"
fi

cd "$source"
cmake --preset release -DVELMORA_RELEASE_SOURCE="$built_from" >/dev/null
cmake --build --preset release >/dev/null
build=$PWD/build/release
if ! ctest --preset release >"$build/checks.txt" 2>&1; then
    cat "$build/checks.txt" >&2
    exit 1
fi
built=$(cat "$build/Velmora.exe.sha256")
if [ -n "$certificate" ]; then
    if [ "$timestamp" = none ]; then
        set -- --no-timestamp
    else
        set -- --timestamp "$timestamp"
    fi
    scripts/sign.sh "$@" ${sha1_certificate:+--sha1-cert "$sha1_certificate"} \
        ${one_certificate:+--one-cert} ${ca_file:+--ca-file "$ca_file"} \
        "$certificate" "$build/Velmora.exe"
    if ! ctest --preset release -R exe_audit >>"$build/checks.txt" 2>&1; then
        cat "$build/checks.txt" >&2
        exit 1
    fi
fi
cpack --preset release >/dev/null
package=$(ls dist/Velmora-*-win32.zip)
mv "$package" "$top/dist/"
cp "$build/Velmora.exe.debug" "$top/dist/"

echo "checks: passed ($source/build/release/checks.txt)"
echo "built from: $built_from"
echo "package: dist/${package#dist/}"
echo "Velmora.exe SHA-256 as built, unsigned (BUILD.txt): $built"
if [ -n "$certificate" ]; then
    echo "Velmora.exe SHA-256 as signed (SHA256SUMS): $(sha256sum <"$build/Velmora.exe" | cut -d' ' -f1)"
fi
