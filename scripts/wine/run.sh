#!/bin/sh
# usage: run.sh STATE_DIR PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program in the Wine session that session.sh started; ctest
# uses it as the emulator for every Windows test program, and the benchmark
# to run its own.
#
# The program writes into a file that is shown as it grows, not into this
# script's output: Wine processes that the program starts (the desktop that
# its first window brings up lingers some seconds after it) keep what they
# inherit open, and ctest would wait for them to close its output. The
# program's exit code is this script's.
set -eu
state=$1
shift
. "$(dirname "$0")/env.sh"
if [ ! -s "$state/display" ]; then
    echo "no Wine session is running in $state (scripts/wine/session.sh start)" >&2
    exit 1
fi
output=$(mktemp "$state/output.XXXXXX")
wine "$@" >"$output" 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null || true; rm -f "$output"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
tail -n +1 -s 0.2 -f --pid="$program" "$output"
status=0
wait "$program" || status=$?
exit "$status"
