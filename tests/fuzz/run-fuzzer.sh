#!/bin/sh
# usage: run-fuzzer.sh FUZZER WORK_DIR SEED_DIR
#
# Runs a fuzz target on a copy of its seed corpus in WORK_DIR, for
# VELMORA_FUZZ_SECONDS (30 by default, the test command's bounded time), and
# fails on any finding, which it keeps in WORK_DIR. The time is read when the
# test runs, so that a long run asked for once never becomes the default.
set -eu
fuzzer=$1
work=$2
seeds=$3
mkdir -p "$work/corpus"
ASAN_OPTIONS=detect_leaks=1 exec "$fuzzer" -max_total_time="${VELMORA_FUZZ_SECONDS:-30}" \
    -print_final_stats=1 -artifact_prefix="$work/finding-" "$work/corpus" "$seeds"
