#!/bin/sh
# usage: with-windows-version.sh STATE_DIR VERSION PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program in the Wine session of STATE_DIR with the prefix set
# to report VERSION (Wine's names: nt40, win2k, winxp, win10, ...), then sets
# the prefix back to Wine's default. The program learns the version it should
# see from VELMORA_WINDOWS_VERSION.
set -eu
state=$1
version=$2
shift 2
wine=$(dirname "$0")/../../scripts/wine
. "$wine/env.sh"
restore() {
    wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
}
trap restore EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null
VELMORA_WINDOWS_VERSION=$version "$wine/run.sh" "$state" "$@"
