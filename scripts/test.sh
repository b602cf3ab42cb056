#!/bin/sh
# Installs what is missing, then builds and runs every test: the host unit
# tests (with AddressSanitizer and UBSan), the fuzz targets, and the Windows
# build with its test programs under Wine, once scripts/setup-i386.sh has seen
# to 32-bit code. Where it cannot, the command fails after the host and fuzz
# results, its last line saying why.
#
# The Windows tests mostly wait for Velmora's timer, so the fuzz targets run
# beside them (the kit in its two prefixes side by side): one at a time, at
# the lowest priority, so that Wine never waits for them. Their results
# follow the Windows tests'.
#
# VELMORA_WERROR=ON (as CI sets it) makes compiler warnings errors.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=${VELMORA_WERROR:-OFF}
run=build/test-run
rm -rf "$run"
mkdir -p "$run"

cmake --preset host -DVELMORA_WERROR="$werror"
cmake --build --preset host
ctest --preset host

cmake --preset fuzz -DVELMORA_WERROR="$werror"
cmake --build --preset fuzz

setup=0
scripts/setup-i386.sh >"$run/setup-i386.txt" 2>&1 || setup=$?
cat "$run/setup-i386.txt"
if [ "$setup" -ne 0 ]; then
    ctest --preset fuzz || true
    tail -n 1 "$run/setup-i386.txt"
    exit 1
fi
cmake --preset win32 -DVELMORA_WERROR="$werror"
cmake --build --preset win32

# The fuzz targets, in a process group of their own that ends with this
# command however it ends. The Windows tests run meanwhile, waited for so that
# a signal to this command stops them at once too (ctest's Wine session then
# stops itself).
fuzz_tests=""
windows_tests=""
stop_background() {
    if [ -n "$windows_tests" ]; then
        kill -TERM "$windows_tests" 2>/dev/null || true
    fi
    if [ -n "$fuzz_tests" ] && [ -s "$run/fuzz.pid" ]; then
        kill -TERM "-$(cat "$run/fuzz.pid")" 2>/dev/null || true
    fi
}
trap stop_background EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
setsid -w sh -c 'echo $$ >"$0/fuzz.pid"; exec nice -n 19 ctest --preset fuzz --parallel 1' \
    "$run" >"$run/fuzz.txt" 2>&1 &
fuzz_tests=$!

ctest --preset win32 &
windows_tests=$!
windows=0
wait "$windows_tests" || windows=$?
windows_tests=""
fuzz=0
wait "$fuzz_tests" || fuzz=$?
fuzz_tests=""

echo "The fuzz targets, which ran beside the Windows tests:"
cat "$run/fuzz.txt"
[ "$windows" -eq 0 ] && [ "$fuzz" -eq 0 ]
