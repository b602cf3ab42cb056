#!/bin/sh
# usage: check-reproducible.sh SOURCE_DIR VELMORA_EXE WORK_DIR
#
# Builds Velmora.exe a second time as a release builds it, from a copy of its
# sources in another folder (so at other absolute paths, and later), and
# checks that the bytes are those of VELMORA_EXE. Only what ships is built.
set -eu
source=$1
exe=$2
copy=$3/elsewhere/velmora
# Only the folder that this check makes is ever removed.
rm -rf "$3/elsewhere"
mkdir -p "$copy"
for item in CMakeLists.txt CMakePresets.json LICENSE basics cmake docs patch platform registry resources \
    tests/audit; do
    mkdir -p "$copy/$(dirname "$item")"
    cp -R "$source/$item" "$copy/$item"
done
(cd "$copy" && cmake --preset release >/dev/null && cmake --build --preset release >/dev/null)
again=$copy/build/release/Velmora.exe
sha256sum "$exe" "$again"
if ! cmp "$exe" "$again"; then
    echo "Velmora.exe built in another folder has other bytes" >&2
    exit 1
fi
echo "Velmora.exe has the same bytes when built in another folder"
