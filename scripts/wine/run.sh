#!/bin/sh
# usage: run.sh STATE_DIR PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program in the Wine session that session.sh started; ctest
# uses it as the emulator for every Windows test program, and the benchmark
# to run its own.
set -eu
state=$1
shift
. "$(dirname "$0")/env.sh"
if [ ! -s "$state/display" ]; then
    echo "no Wine session is running in $state (scripts/wine/session.sh start)" >&2
    exit 1
fi
exec wine "$@"
