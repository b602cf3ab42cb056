#!/bin/sh
# usage: make-kit.sh SOURCE_DIR BUILD_DIR VERSION OBJCOPY
#
# Makes the test kit from the Windows build: BUILD_DIR/kit/velmora-tests-VERSION
# as a folder, a ZIP and an ISO of the same files (NT 4.0 and 2000 open no
# ZIP, but every machine, real or virtual, reads a CD). The test programs go
# in without their debug information, which only makes the kit larger.
set -eu
source=$1
build=$2
version=$3
objcopy=$4
name=velmora-tests-$version
out=$build/kit
# Only what this script makes is ever removed.
rm -rf "$out/$name" "$out/$name.zip" "$out/$name.iso"
mkdir -p "$out/$name/tests"
kit=$out/$name

cp "$source/tests/kit/run-tests.cmd" "$source/tests/kit/KIT.txt" \
    "$source/tests/kit/velmora-tests.wsb" "$source/tests/kit/run-in-sandbox.cmd" "$kit/"
# Windows Sandbox refuses a configuration that is not well-formed XML, and
# it would be seen only there.
python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' "$kit/velmora-tests.wsb"
cp "$build/Velmora.exe" "$kit/"
"$objcopy" --strip-debug "$build/tests/runtests.exe" "$kit/runtests.exe"
for program in win32_unit_tests.exe e2e_tests.exe planted.dll; do
    "$objcopy" --strip-debug "$build/tests/$program" "$kit/tests/$program"
done

commit=$(git -C "$source" rev-parse --short=12 HEAD 2>/dev/null || echo unknown)
if [ "$commit" != unknown ] && [ -n "$(git -C "$source" status --porcelain 2>/dev/null)" ]; then
    commit="$commit (with changes not committed)"
fi
{
    echo "Velmora test kit $version"
    echo "commit $commit"
    echo "Velmora.exe $(sha256sum <"$kit/Velmora.exe" | cut -d' ' -f1)"
} | sed 's/$/\r/' >"$kit/KIT-BUILD.txt"

# The same names and times in every kit of the same files.
find "$kit" -exec touch -h -d @0 {} +
# run-tests.cmd at the root of the ZIP, as of the CD.
(cd "$kit" && LC_ALL=C find . -type f | sed 's#^\./##' | LC_ALL=C sort >"$out/files.txt" &&
    cmake -E tar cf "$out/$name.zip" --format=zip --files-from="$out/files.txt")
rm -f "$out/files.txt"
xorriso -as mkisofs -quiet -J -r -V VELMORA_TESTS -o "$out/$name.iso" "$kit"
echo "kit: $out/$name.zip and $out/$name.iso"
