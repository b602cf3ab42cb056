#!/bin/sh
# usage: check-package.sh BUILD_DIR WORK_DIR
#
# Packages the build's Velmora.exe as a release does, unpacks the ZIP as an
# administrator would, and checks what is in it: exactly the exe and its five
# texts, each with CRLF line ends; a checksum that sha256sum -c accepts;
# BUILD.txt naming the exe's SHA-256 as built; the two guides in ASCII, which
# every Windows' Notepad shows alike, and short enough to read.
set -eu
build=$1
work=$2/package
# Only the folder that this check makes is ever removed.
rm -rf "$work"
mkdir -p "$work/unpacked"
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
unzip -q "$work"/Velmora-*-win32.zip -d "$work/unpacked"
cd "$work/unpacked"
status=0
fault() {
    echo "FAULT $*" >&2
    status=1
}
listed=$(ls | tr '\n' ' ')
[ "$listed" = "BUILD.txt FOLDER.txt LICENSE README.txt SHA256SUMS Velmora.exe " ] ||
    fault "the package holds $listed"
for text in BUILD.txt FOLDER.txt LICENSE README.txt SHA256SUMS; do
    bare=$(tr -d '\r' <"$text" | wc -l)
    crlf=$(grep -c "$(printf '\r')\$" "$text" || true)
    [ "$bare" -gt 0 ] && [ "$crlf" -eq "$bare" ] || fault "$text: $crlf of $bare lines end in CRLF"
done
sha256sum -c SHA256SUMS || fault "sha256sum -c refuses SHA256SUMS"
for guide in README.txt FOLDER.txt; do
    [ "$(wc -l <"$guide")" -le 140 ] || fault "$guide has $(wc -l <"$guide") lines"
    ! LC_ALL=C grep -q "$(printf '[^\t\r -~]')" "$guide" || fault "$guide holds bytes that are not ASCII"
done
cmp Velmora.exe "$build/Velmora.exe" || fault "the packaged Velmora.exe is not the build's"
built=$(sha256sum <"$build/Velmora.exe" | cut -d' ' -f1)
tr -d '\r' <BUILD.txt | grep -qx "  $built" ||
    fault "BUILD.txt does not name $built, the SHA-256 of Velmora.exe as built"
sed 's/\r$//' BUILD.txt
exit $status
