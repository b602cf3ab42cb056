#!/bin/sh
# usage: session.sh start|stop STATE_DIR
#
# Starts or stops the Wine session that the Windows tests share (the run
# command and the benchmark each start one of their own): a private Xvfb
# display, a private Wine prefix under STATE_DIR (made on first use, and
# thrown away with the build folder), and one wineserver kept alive for the
# whole run, since a cold Wine start costs seconds per test.
#
# The session also ends with the process that started it (ctest, or the run
# or benchmark command), however that ends: a watcher stops it within a second
# of an interruption or a kill that left no time to stop it.
set -eu
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
. "$(dirname "$0")/env.sh"

# Runs a step of the start, its output kept in wine.log; when it fails, the
# end of the log says why.
logged() {
    if ! "$@" </dev/null >>"$state/wine.log" 2>&1; then
        echo "Wine session: '$*' failed; the end of $state/wine.log:" >&2
        tail -n 20 "$state/wine.log" >&2
        exit 1
    fi
}

# A process's start time, in clock ticks since boot. With its number it names
# the process: after a reboot or a crash the number alone may be another's.
start_time() {
    sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f20
}

# Stops only the Xvfb that this session started.
stop_session() {
    if [ -d "$WINEPREFIX" ]; then
        stop_wineserver || true
    fi
    if [ -s "$state/xvfb.pid" ]; then
        read -r pid started <"$state/xvfb.pid" || true
        if [ -n "${started:-}" ] && [ "$(start_time "$pid")" = "$started" ]; then
            kill "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$state/xvfb.pid" "$state/display"
}

# Stops the session once `owner`, known by its number and start time, has
# ended, unless the session has been stopped or replaced before.
watch_owner() {
    owner=$1
    owner_started=$2
    session=$(cat "$state/xvfb.pid")
    while [ "$(start_time "$owner")" = "$owner_started" ] &&
        [ "$(cat "$state/xvfb.pid" 2>/dev/null)" = "$session" ]; do
        sleep 1
    done
    if [ "$(cat "$state/xvfb.pid" 2>/dev/null)" = "$session" ]; then
        stop_session
    fi
}

case $action in
start)
    stop_session
    # Velmora.exe and the test programs are 32-bit: Wine runs them through its
    # 32-bit loader, an i386 Linux program.
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "Wine session: Wine's 32-bit loader does not run here, so no 32-bit exe can;" \
            "scripts/setup-i386.sh (which scripts/test.sh runs) says why, and sets up" \
            "an emulation where the kernel runs no 32-bit code." >&2
        exit 1
    fi
    # Xvfb picks a free display and writes its number to descriptor 3. It is
    # detached from ctest's output so that ctest does not wait for it.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo "$! $(start_time $!)" >"$state/xvfb.pid"
    tries=0
    until [ -s "$state/display" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ]; then
            echo "Xvfb did not start:" >&2
            cat "$state/xvfb.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(cat "$state/display")"
    echo "Wine session: display $DISPLAY, prefix $WINEPREFIX"
    setsid "$0" watch "$state" "$PPID" "$(start_time "$PPID")" </dev/null >/dev/null 2>&1 &

    # Wine's own processes (wineserver, services, explorer) outlive this
    # script, so none of them may hold ctest's output open.
    if ! prefix_made; then
        echo "Making the Wine prefix (once per build folder)..."
    fi
    mkdir -p "$WINEPREFIX"
    logged setsid wineserver -p
    logged wineboot -i
    touch "$WINEPREFIX/velmora-made"
    install_wine_fonts
    # Without a window manager, closing a message box stalls unless Wine
    # manages its windows itself.
    logged wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    # The desktop, which every window needs. Left to the first window of a
    # test, it would take seconds to come up inside that test, and would
    # leave when the test's last window had gone; started on its own, it
    # stays until the session stops.
    setsid wine explorer.exe /desktop </dev/null >>"$state/wine.log" 2>&1 &
    ;;
stop)
    stop_session
    echo "Wine session stopped"
    ;;
watch)
    watch_owner "$3" "$4"
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
