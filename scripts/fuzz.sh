#!/bin/sh
# usage: scripts/fuzz.sh [SECONDS]
#
# Runs each fuzz target for SECONDS (default 600) instead of the 30 seconds
# that the test command gives them, keeping what they find in build/fuzz.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/install-deps.sh
cmake --preset fuzz
cmake --build --preset fuzz
VELMORA_FUZZ_SECONDS=$seconds ctest --preset fuzz --timeout $((seconds + 120))
