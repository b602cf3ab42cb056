#!/bin/sh
# usage: scripts/run.sh [--update-screenshot]
#
# Installs what is missing, builds Velmora.exe and runs it under Wine, in a
# prefix of the project's own (build/run/prefix, never ~/.wine). On first use
# the prefix is seeded so that the patch is needed: the Windows 9x place loses
# its two values and the Windows NT place gets an owner's name.
#
# With a display, Velmora's window opens there. Without one, it runs on a
# private Xvfb display and is driven as a user would drive it: each status text
# is printed as it appears, then what was written, a screenshot of the window
# is saved as build/run/velmora-window.png (with --update-screenshot, as the
# README's docs/velmora-window.png), and Close is pressed.
set -eu
cd "$(dirname "$0")/.."
case ${1:-} in
"") screenshot=build/run/velmora-window.png ;;
--update-screenshot) screenshot=docs/velmora-window.png ;;
*)
    echo "usage: $0 [--update-screenshot]" >&2
    exit 2
    ;;
esac
scripts/install-deps.sh
scripts/setup-i386.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Velmora velmora_demo

# The user's own display, if there is one that answers; asked before the
# private session's settings are read, which name a display of their own.
user_display=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    user_display=$DISPLAY
fi

state=$PWD/build/run
mkdir -p "$state"
. scripts/wine/env.sh

seed_on_first_use() {
    if [ -f "$WINEPREFIX/velmora-seeded" ]; then
        return
    fi
    windows9x='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
    windowsNt='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion'
    wine reg delete "$windows9x" /v FirstInstallDateTime /f /reg:32 >/dev/null 2>&1 || true
    wine reg delete "$windows9x" /v RegisteredOwner /f /reg:32 >/dev/null 2>&1 || true
    wine reg add "$windowsNt" /v RegisteredOwner /t REG_SZ /d "Ann Smith" /f /reg:32 >/dev/null
    touch "$WINEPREFIX/velmora-seeded"
    echo "Seeded the prefix: the Windows 9x place now lacks both values."
}

if [ -n "$user_display" ]; then
    export DISPLAY="$user_display"
    if ! prefix_made; then
        echo "Making the Wine prefix $WINEPREFIX..."
        wineboot -i >"$state/wine.log" 2>&1
        touch "$WINEPREFIX/velmora-made"
    fi
    install_wine_fonts
    # A window manager is there to manage Velmora's window.
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
    seed_on_first_use
    # Interrupted, the command takes Velmora and the prefix's wineserver with it.
    trap 'wineserver -k 2>/dev/null; exit 129' HUP
    trap 'wineserver -k 2>/dev/null; exit 130' INT
    trap 'wineserver -k 2>/dev/null; exit 143' TERM
    wine build/win32/Velmora.exe &
    status=0
    wait $! || status=$?
    echo "Velmora ended with exit code $status."
    exit 0
fi

echo "No display: running Velmora on a private Xvfb display."
scripts/wine/session.sh start "$state" >/dev/null
trap 'scripts/wine/session.sh stop "$state" >/dev/null' EXIT
. scripts/wine/env.sh
seed_on_first_use
wine build/win32/tools/velmora_demo.exe "$(winepath -w "$screenshot")"
