#!/bin/sh
# Makes the test kit that runs the Windows tests on a real Windows, NT 4.0 to
# 11 (tests/kit/KIT.txt says how): dist/velmora-tests-VERSION.zip, and the
# same files as an ISO, which NT 4.0 and 2000 read where they open no ZIP.
# Installs what is missing, as the set-up commands do; needs no 32-bit code
# to run, since nothing here runs under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velmora_kit
mkdir -p dist
for made in build/win32/kit/velmora-tests-*.zip build/win32/kit/velmora-tests-*.iso; do
    cp "$made" dist/
    echo "dist/$(basename "$made")"
done
