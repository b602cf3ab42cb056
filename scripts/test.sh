#!/bin/sh
# Installs what is missing, then builds and runs every test: the host unit
# tests (with AddressSanitizer and UBSan) and the fuzz targets, which need no
# 32-bit code, then the Windows build with its test programs under Wine, once
# scripts/setup-i386.sh has seen to 32-bit code. Where it cannot, the command
# fails after the host and fuzz results, its last line saying why.
#
# VELMORA_WERROR=ON (as CI sets it) makes compiler warnings errors.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=${VELMORA_WERROR:-OFF}

cmake --preset host -DVELMORA_WERROR="$werror"
cmake --build --preset host
ctest --preset host

cmake --preset fuzz -DVELMORA_WERROR="$werror"
cmake --build --preset fuzz
ctest --preset fuzz

scripts/setup-i386.sh
cmake --preset win32 -DVELMORA_WERROR="$werror"
cmake --build --preset win32
ctest --preset win32
