#!/bin/sh
# Installs what is missing, then builds and runs every test: the host unit
# tests (with AddressSanitizer and UBSan), the fuzz targets for a bounded time,
# and the Windows build with its test programs under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/setup-i386.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

cmake --preset fuzz -DVELMORA_FUZZ_SECONDS=30
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset win32
cmake --build --preset win32
ctest --preset win32
