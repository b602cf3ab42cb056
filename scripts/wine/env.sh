# Sourced with $state set (by session.sh, run.sh and the run command): the
# environment in which the Windows tests and the tools run Wine. Everything
# lives under $state, so the user's own ~/.wine and display are never touched.
export WINEPREFIX="$state/prefix"
# 64-bit unless told otherwise: the kit is also tried in a 32-bit prefix.
export WINEARCH="${VELMORA_WINEARCH:-win64}"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or HTML, and their installers would prompt.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -s "$state/display" ]; then
    export DISPLAY=":$(cat "$state/display")"
fi
unset WAYLAND_DISPLAY
# Wine takes its ANSI code page from the locale; C gives Windows-1252, that of a
# US Windows, which the registry tests expect.
export LC_ALL=C.UTF-8

# Whether the prefix has been made. One whose making was cut short, which
# Wine cannot start in, is removed, to be made again. The mark lies inside the
# prefix, so that a prefix deleted by hand is made again too.
prefix_made() {
    if [ -f "$WINEPREFIX/velmora-made" ]; then
        return 0
    fi
    rm -rf "$WINEPREFIX"
    return 1
}

# Debian's Wine does not find its own fonts (fonts-wine) by itself; without
# Marlett the caption's close box shows a letter. Copied into the prefix's
# Fonts folder, where Wine looks.
install_wine_fonts() {
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Stops this prefix's wineserver and waits until it has gone: only then do
# the prefix's registry files hold everything it kept. The server works in a
# folder named for the prefix's device and inode.
stop_wineserver() {
    wineserver -k 2>/dev/null || true
    server=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    tries=0
    while [ $tries -lt 200 ]; do
        running=""
        for pid in $(pgrep wineserver 2>/dev/null); do
            case $(readlink "/proc/$pid/cwd" 2>/dev/null) in
            */"$server") running=$pid ;;
            esac
        done
        [ -z "$running" ] && return 0
        tries=$((tries + 1))
        sleep 0.1
    done
    echo "wineserver $running of $WINEPREFIX did not stop" >&2
    return 1
}
