#!/bin/sh
# usage: scripts/setup-i386.sh [--remove]
#
# Velmora.exe is a 32-bit exe, and Debian's Wine runs one through its 32-bit
# loader, itself an i386 Linux program. Some kernels run no 32-bit code at all
# ("IA-32 emulation off" in dmesg). There, i386 programs are handed to
# qemu-user's qemu-i386 through a binfmt_misc rule of Velmora's own,
# velmora-i386: qemu-user 10 from Debian's bookworm-backports, fetched through
# a source list of the build folder's own (build/i386), so that the machine's
# apt sources and packages stay as they are. bookworm's own qemu-user 7.2 is
# far too slow for Wine, which starts every process by reserving most of the
# address space.
#
# The rule runs every i386 program on the machine, so its interpreter is root's
# own copy in /var/lib/velmora-i386, which only root can write, with the
# checksum that it had when it was put there. A rule is taken for Velmora's
# only when it runs that file with that checksum; any other is left alone.
# What stays: the rule until reboot, the copy until --remove.
#
# Says in one line which way 32-bit code runs here: natively, emulated, or not
# at all, which ends with a non-zero status. Repeating it changes nothing.
#
# VELMORA_EMULATE_I386=1 forces the emulated path on a machine whose kernel
# runs 32-bit code itself, so that the path can be checked there; a later run
# without it removes the rule again. --remove takes away the rule and the copy.
set -eu
cd "$(dirname "$0")/.."

# Wine's own 32-bit loader: an i386 program with Debian's i386 libraries.
wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
rule=$binfmt/velmora-i386
installed=/var/lib/velmora-i386
qemu=$installed/qemu-i386
checksum=$installed/qemu-i386.sha256
state=$PWD/build/i386
probe=$state/probe-i386
log=$state/setup.log
# What the kernel sees at the start of an i386 ELF program, executable or
# shared object, and which bits of it count: the rule that qemu-user's own
# set-up registers.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

as_root=""
if [ "$(id -u)" -ne 0 ]; then
    as_root="sudo"
fi

runs_32bit() {
    "$wine32" --version >/dev/null 2>&1
}

# Whether the kernel itself runs i386 code, asked of a static i386 program of
# 96 bytes that exits with 42. Its ELF ABI version is 1, which the kernel does
# not look at but every emulator's binfmt_misc rule requires to be 0, so no
# rule takes it.
kernel_runs_32bit() {
    if [ ! -x "$probe" ]; then
        python3 - "$probe" <<'ELF'
import struct, sys
base = 0x08048000
code = bytes.fromhex("bb2a000000" "b801000000" "cd80")  # mov ebx, 42; mov eax, 1 (exit); int 0x80
ident = b"\x7fELF" + bytes([1, 1, 1, 0, 1]) + bytes(7)  # 32-bit, little-endian, ABI version 1
size = 52 + 32 + len(code)
header = struct.pack("<16sHHIIIIIHHHHHH", ident, 2, 3, 1, base + 52 + 32, 52, 0, 0, 52, 32, 1, 0, 0, 0)
segment = struct.pack("<8I", 1, 0, base, base, size, size, 5, 0x1000)  # one read + execute segment
with open(sys.argv[1], "wb") as program:
    program.write(header + segment + code)
ELF
        chmod 755 "$probe"
    fi
    status=0
    "$probe" 2>/dev/null || status=$?
    [ $status -eq 42 ]
}

# Writes to a binfmt_misc file, which only root may do.
binfmt_write() {
    printf '%s' "$2" | $as_root tee "$1" >/dev/null
}

interpreter_of() {
    sed -n 's/^interpreter //p' "$1" 2>/dev/null
}

# Owned by root and writable by no one else.
root_only() {
    case $(stat -c '%u %A' "$1" 2>/dev/null) in
    "0 "?????-??-?) return 0 ;;
    *) return 1 ;;
    esac
}

# The copy of qemu-i386 that this project put there, unchanged since.
copy_is_ours() {
    root_only "$installed" && root_only "$qemu" && [ -s "$checksum" ] &&
        [ "$(sha256sum <"$qemu" | cut -d' ' -f1)" = "$(cat "$checksum")" ]
}

# Velmora's rule: named velmora-i386, and running that copy.
rule_is_ours() {
    [ -e "$rule" ] && [ "$(interpreter_of "$rule")" = "$qemu" ] && copy_is_ours
}

# The enabled rules, other than Velmora's own, that take i386 programs: name
# and interpreter, one per line.
other_i386_rules() {
    for entry in "$binfmt"/*; do
        case $entry in */register | */status) continue ;; esac
        if [ "$entry" = "$rule" ] && rule_is_ours; then
            continue
        fi
        if grep -qx enabled "$entry" 2>/dev/null &&
            grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry"; then
            echo "${entry##*/} $(interpreter_of "$entry")"
        fi
    done
}

# qemu-user from bookworm-backports, by package name, from the Debian archive
# that the machine already uses; apt checks the package against the archive's
# signed index. The package holds an emulator for every architecture: only
# i386's is kept, copied where only root can write it, with its checksum.
install_qemu() {
    archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
        awk '$2 == "bookworm" { print $1; exit }')
    mkdir -p "$state/apt/lists/partial" "$state/apt/cache/archives/partial"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
        "${archive:-http://deb.debian.org/debian/} bookworm-backports main" >"$state/apt/sources.list"
    set -- -o Dir::Etc::sourcelist="$state/apt/sources.list" -o Dir::Etc::sourceparts=- \
        -o Dir::State::Lists="$state/apt/lists" -o Dir::Cache="$state/apt/cache" \
        -o APT::Sandbox::User=root -q
    rm -f "$state"/apt/*.deb
    apt-get "$@" update &&
        (cd "$state/apt" && apt-get "$@" download qemu-user/bookworm-backports) &&
        dpkg-deb --fsys-tarfile "$state"/apt/qemu-user_*.deb |
        tar -x -O ./usr/bin/qemu-i386 >"$state/qemu-i386" &&
        chmod 755 "$state/qemu-i386" && "$state/qemu-i386" --version &&
        $as_root install -d -o root -g root -m 755 "$installed" &&
        $as_root install -o root -g root -m 755 "$state/qemu-i386" "$qemu" &&
        sha256sum <"$qemu" | cut -d' ' -f1 | $as_root tee "$checksum"
    fetched=$?
    rm -f "$state"/apt/*.deb "$state/qemu-i386"
    return $fetched
}

register_rule() {
    if [ -e "$rule" ]; then
        grep -qx enabled "$rule" || binfmt_write "$rule" 1
        return
    fi
    # F: the kernel opens qemu-i386 now and keeps it open.
    { mountpoint -q "$binfmt" || $as_root mount -t binfmt_misc binfmt_misc "$binfmt"; } &&
        binfmt_write "$binfmt/register" ":velmora-i386:M::$i386_magic:$i386_mask:$qemu:F"
}

version_of() {
    "$1" --version 2>/dev/null | sed -n '1s/.* version \([^ ]*\).*/\1/p'
}

# Says what stays of Velmora's emulation, and takes it away.
remove() {
    if [ ! -e "$rule" ]; then
        echo "32-bit code: no binfmt_misc rule velmora-i386 to remove."
    elif rule_is_ours; then
        binfmt_write "$rule" -1
        echo "32-bit code: removed the binfmt_misc rule velmora-i386, which ran $qemu."
    else
        echo "32-bit code: left the binfmt_misc rule velmora-i386 alone: it runs" \
            "$(interpreter_of "$rule"), not the qemu-i386 that this project put in $installed."
    fi
    if [ -d "$installed" ]; then
        version=$(version_of "$qemu")
        $as_root rm -f "$qemu" "$checksum"
        $as_root rmdir "$installed"
        echo "32-bit code: removed $installed (qemu-i386${version:+ $version})."
    fi
}

case ${1:-} in
"") ;;
--remove)
    remove
    exit 0
    ;;
*)
    echo "usage: $0 [--remove]" >&2
    exit 2
    ;;
esac

if [ ! -x "$wine32" ]; then
    echo "32-bit code: not checked, since Wine's 32-bit loader is missing" \
        "(wine32:i386, which scripts/install-deps.sh installs)." >&2
    exit 1
fi

mkdir -p "$state"
other_rules=$(other_i386_rules)
if [ -n "$other_rules" ]; then
    echo "32-bit code: leaves the machine's own binfmt_misc rules for i386 alone:" \
        "$(echo "$other_rules" | sed 's/ / runs /' | paste -sd ';' -)."
fi

forced=${VELMORA_EMULATE_I386:-0}
if [ "$forced" != 1 ] && kernel_runs_32bit; then
    # The rule of a forced run is no longer wanted.
    if rule_is_ours; then
        binfmt_write "$rule" -1
        echo "32-bit code: removed the rule velmora-i386 of an earlier forced run."
    fi
    if ! runs_32bit; then
        echo "32-bit code: the kernel runs it, but $wine32 --version fails." >&2
        exit 1
    fi
    if [ -n "$other_rules" ]; then
        echo "32-bit code: emulated, by the machine's own binfmt_misc rule" \
            "$(echo "$other_rules" | head -n 1 | sed 's/ / (/')), though the kernel runs it."
    else
        echo "32-bit code: runs natively."
    fi
    exit 0
fi

why="since the kernel runs none"
if [ "$forced" = 1 ]; then
    why="as VELMORA_EMULATE_I386=1 asks"
fi
if [ -e "$rule" ] && ! rule_is_ours; then
    echo "32-bit code: cannot run here: emulated $why, but the binfmt_misc rule" \
        "velmora-i386 runs $(interpreter_of "$rule"), not the qemu-i386 that this project" \
        "put in $installed; left alone (echo -1 > $rule removes it)." >&2
    exit 1
fi
if [ ! -e "$rule" ] && ! copy_is_ours && ! install_qemu >"$log" 2>&1; then
    echo "32-bit code: cannot run here: emulated $why, but fetching qemu-user 10" \
        "from bookworm-backports failed (see $log)." >&2
    exit 1
fi
if ! register_rule 2>>"$log"; then
    echo "32-bit code: cannot run here: emulated $why, but binfmt_misc did not take" \
        "the rule for qemu-i386 (see $log)." >&2
    exit 1
fi
if ! runs_32bit; then
    binfmt_write "$rule" -1
    echo "32-bit code: cannot run here, not even through qemu-i386" \
        "($wine32 --version fails)." >&2
    exit 1
fi
echo "32-bit code: emulated, $why, by qemu-i386 $(version_of "$qemu") through binfmt_misc" \
    "(rule velmora-i386, until reboot or scripts/setup-i386.sh --remove)."
