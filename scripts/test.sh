#!/bin/sh
# Installs what is missing, then builds and runs every test: the host unit
# tests (with AddressSanitizer and UBSan), the fuzz targets for a bounded time,
# and the Windows build with its test programs under Wine.
#
# VELMORA_WERROR=ON (as CI sets it) makes compiler warnings errors.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/setup-i386.sh
werror=${VELMORA_WERROR:-OFF}

cmake --preset host -DVELMORA_WERROR="$werror"
cmake --build --preset host
ctest --preset host

cmake --preset fuzz -DVELMORA_WERROR="$werror"
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset win32 -DVELMORA_WERROR="$werror"
cmake --build --preset win32
ctest --preset win32
