#!/bin/sh
# usage: scripts/benchmark.sh [RUNS]
#
# Measures what Velmora.exe costs against a minimal Win32 window with the same
# controls, both run RUNS times (5 by default) alternately under one Wine
# prefix and Xvfb display of the benchmark's own (build/bench), and prints a
# table of medians. A measurement, not a test: the figures vary by machine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/setup-i386.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velmora_bench >/dev/null
state=$PWD/build/bench
scripts/wine/session.sh start "$state" >/dev/null
trap 'scripts/wine/session.sh stop "$state" >/dev/null' EXIT
scripts/wine/run.sh "$state" build/win32/tools/velmora_bench.exe "${1:-5}"
