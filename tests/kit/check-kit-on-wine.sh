#!/bin/sh
# usage: check-kit-on-wine.sh win64|win32 STATE_DIR KIT.zip [--interrupted-first]
#
# Runs the test kit as a tester with a Windows machine would, Wine standing in
# for the machine: in a fresh prefix of that kind, unpacked from the ZIP,
# `wine cmd /c run-tests.cmd` must end with 0, every test passed, and none
# skipped but those of what only a real Windows shows. Beforehand the places
# of Velmora's values hold values of unusual types, other in each view, and
# the DPI setting one of its own; afterwards every one of them must be byte
# for byte as before, as the prefix's registry files hold them.
#
# With --interrupted-first, a first run is killed once its journal is
# written, the values it journalled are changed as its tests would have
# changed them, and the next run must put them back before it does anything
# else, and say so with its exit code of 3; then the values are checked, and
# the whole run follows.
set -eu
arch=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
zip=$3
interrupted=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
session=$here/../../scripts/wine/session.sh
registry="python3 $here/registry_file.py"
export VELMORA_WINEARCH=$arch
. "$here/../../scripts/wine/env.sh"
views=64
[ "$arch" = win32 ] && views=32

# Only what this script makes is ever removed; the session stops with it.
rm -rf "$state/prefix" "$state/before.json" "$state/after.json"
trap '"$session" stop "$state" >/dev/null 2>&1 || true' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

"$session" start "$state"
. "$here/../../scripts/wine/env.sh"
kit=$WINEPREFIX/drive_c/kit
mkdir -p "$kit"
unzip -q "$zip" -d "$kit"
# The seeds go in through reg.exe while Wine runs, each view's by its own
# flag; the registry files are whole only once wineserver has stopped, and
# must then hold every seed.
$registry seed "$views" "$WINEPREFIX/drive_c/seeds"
wine reg import 'C:\seeds-own.reg' /reg:32 >/dev/null
if [ "$views" = 64 ]; then
    wine reg import 'C:\seeds-other.reg' /reg:64 >/dev/null
fi
rm -f "$WINEPREFIX"/drive_c/seeds-*.reg
stop_wineserver
$registry snapshot "$WINEPREFIX" "$views" "$state/before.json"
$registry seeded "$state/before.json" "$views" || exit 1
"$session" start "$state" >/dev/null
. "$here/../../scripts/wine/env.sh"

run_kit() {
    (cd "$kit" && wine cmd /c run-tests.cmd >"$state/kit-output.txt" 2>&1) || return $?
}

# Every seeded value byte for byte as before, read from the registry files;
# the session comes back for what follows, unless told that nothing does.
check_values() {
    stop_wineserver
    $registry snapshot "$WINEPREFIX" "$views" "$state/after.json"
    $registry compare "$state/before.json" "$state/after.json" || exit 1
    [ "${1:-}" = --last ] && return 0
    "$session" start "$state" >/dev/null
    . "$here/../../scripts/wine/env.sh"
}

if [ "$interrupted" = --interrupted-first ]; then
    (cd "$kit" && exec wine cmd /c run-tests.cmd >"$state/killed-output.txt" 2>&1) &
    tries=0
    until [ -s "$kit/journal.txt" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 600 ]; then
            echo "FAULT the kit wrote no journal within a minute" >&2
            exit 1
        fi
        sleep 0.1
    done
    # Killed as the machine is turned off: nothing of it runs on.
    stop_wineserver
    wait || true
    [ -s "$kit/journal.txt" ] || { echo "FAULT the killed run left no journal" >&2; exit 1; }
    "$session" start "$state" >/dev/null
    . "$here/../../scripts/wine/env.sh"
    # What its tests would have changed by then, in each view.
    for view in 32 64; do
        [ "$views" = 32 ] && [ "$view" = 64 ] && continue
        wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' /v RegisteredOwner \
            /d "Ann Smith" /f "/reg:$view" >/dev/null
        wine reg delete 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v InstallDate \
            /f "/reg:$view" >/dev/null
    done
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null
    status=0
    run_kit || status=$?
    echo "The run after a killed one:"
    cat "$state/kit-output.txt"
    if [ "$status" -ne 3 ] || [ -e "$kit/journal.txt" ]; then
        echo "FAULT the run after the killed one ended with $status, not 3, or kept its journal" >&2
        exit 1
    fi
    check_values
fi

status=0
run_kit || status=$?
sed -n '/^Velmora test kit/,$p' "$state/kit-output.txt"
# Skipped only what only a real Windows shows (tests/e2e/Wine.h).
last=$(tr -d '\r' <"$kit/report.txt" | tail -n 1)
shown_only_on_windows=$(grep -c '^skipped .*: only real Windows shows ' "$kit/report.txt" || true)
if [ "$status" -ne 0 ] ||
    ! echo "$last" | grep -Eq "^[1-9][0-9]* passed, 0 failed, $shown_only_on_windows skipped\$"; then
    echo "FAULT run-tests.cmd ended with $status: $last" >&2
    cat "$state/kit-output.txt" >&2
    for log in "$kit"/results/*.log; do
        echo "--- $log" >&2
        grep -B5 -A15 'FAILED\|Failure' "$log" | head -n 80 >&2 || true
    done
    exit 1
fi
[ ! -e "$kit/journal.txt" ] || { echo "FAULT the journal stayed after the run" >&2; exit 1; }
cp "$kit/report.txt" "$kit/report.xml" "$state/"
check_values --last
