#!/bin/sh
# usage: run-fuzzer.sh FUZZER WORK_DIR SEED_DIR
#
# Runs a fuzz target in two stages, and fails on any finding, which it keeps
# in WORK_DIR. First from the seed corpus alone with a fixed random seed and a
# fixed number of runs, so that every run of the test command tries the same
# inputs; then on a copy of the seed corpus in WORK_DIR with a random seed, for
# VELMORA_FUZZ_SECONDS (30 by default, the test command's bounded time). The
# time is read when the test runs, so that a long run asked for once never
# becomes the default.
set -eu
fuzzer=$1
work=$2
seeds=$3
# Only the folder that the fixed stage makes is ever removed.
rm -rf "$work/fixed-seed"
mkdir -p "$work/corpus" "$work/fixed-seed"
export ASAN_OPTIONS=detect_leaks=1
"$fuzzer" -seed=1 -runs=20000 -print_final_stats=1 \
    -artifact_prefix="$work/finding-" "$work/fixed-seed" "$seeds"
exec "$fuzzer" -max_total_time="${VELMORA_FUZZ_SECONDS:-30}" -print_final_stats=1 \
    -artifact_prefix="$work/finding-" "$work/corpus" "$seeds"
