#!/bin/sh
# usage: scripts/setup-i386.sh
#
# Velmora.exe is a 32-bit exe, and Debian's Wine runs one through its 32-bit
# loader, itself an i386 Linux program. Some kernels run no 32-bit code at all
# ("IA-32 emulation off" in dmesg). There, i386 programs are handed to
# qemu-user's qemu-i386 through a binfmt_misc rule of Velmora's own: qemu-user
# 10 from Debian's bookworm-backports, fetched through a source list of the
# build folder's own (build/i386) and unpacked there, so that the machine's
# apt sources and packages stay as they are. bookworm's own qemu-user 7.2 is
# far too slow for Wine, which starts every process by reserving most of the
# address space.
#
# Says in one line which way 32-bit code runs here: natively, emulated, or not
# at all, which ends with a non-zero status. Repeating it changes nothing.
#
# VELMORA_EMULATE_I386=1 forces the emulated path on a machine whose kernel
# runs 32-bit code itself, so that the path can be checked there; a later run
# without it removes the rule again.
set -eu
cd "$(dirname "$0")/.."

# Wine's own 32-bit loader: an i386 program with Debian's i386 libraries.
wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
rule=$binfmt/velmora-i386
state=$PWD/build/i386
qemu=$state/qemu-i386
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

# The interpreter of an enabled binfmt_misc rule that takes i386 programs, if
# any: Velmora's own first.
i386_interpreter() {
    for entry in "$rule" "$binfmt"/*; do
        case $entry in */register | */status) continue ;; esac
        if grep -qx enabled "$entry" 2>/dev/null &&
            grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry"; then
            sed -n 's/^interpreter //p' "$entry"
            return
        fi
    done
}

# qemu-user from bookworm-backports, by package name, from the Debian archive
# that the machine already uses. The package holds an emulator for every
# architecture; only i386's is kept.
fetch_qemu() {
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
        tar -x -O ./usr/bin/qemu-i386 >"$qemu.new" &&
        chmod 755 "$qemu.new" && "$qemu.new" --version &&
        mv "$qemu.new" "$qemu"
    fetched=$?
    rm -f "$state"/apt/*.deb "$qemu.new"
    return $fetched
}

register_rule() {
    if [ -e "$rule" ]; then
        grep -qx enabled "$rule" || binfmt_write "$rule" 1
        return
    fi
    # F: the kernel opens qemu-i386 now, so the rule goes on working when the
    # build folder is cleaned.
    { mountpoint -q "$binfmt" || $as_root mount -t binfmt_misc binfmt_misc "$binfmt"; } &&
        binfmt_write "$binfmt/register" ":velmora-i386:M::$i386_magic:$i386_mask:$qemu:F"
}

describe_emulation() {
    interpreter=$(i386_interpreter)
    version=$("$interpreter" --version 2>/dev/null | sed -n '1s/.* version \([^ ]*\).*/\1/p')
    echo "${interpreter##*/}${version:+ $version} through binfmt_misc"
}

if [ ! -x "$wine32" ]; then
    echo "32-bit code: not checked, since Wine's 32-bit loader is missing" \
        "(wine32:i386, which scripts/install-deps.sh installs)." >&2
    exit 1
fi

mkdir -p "$state"
forced=${VELMORA_EMULATE_I386:-0}
if [ "$forced" != 1 ] && kernel_runs_32bit; then
    # The rule of a forced run is no longer wanted.
    if [ -e "$rule" ]; then
        binfmt_write "$rule" -1
    fi
    if ! runs_32bit; then
        echo "32-bit code: the kernel runs it, but $wine32 --version fails." >&2
        exit 1
    fi
    if [ -n "$(i386_interpreter)" ]; then
        echo "32-bit code: emulated, by the machine's own $(describe_emulation)."
    else
        echo "32-bit code: runs natively."
    fi
    exit 0
fi

why="since the kernel runs none"
if [ "$forced" = 1 ]; then
    why="as VELMORA_EMULATE_I386=1 asks"
fi
if [ ! -e "$rule" ] && [ ! -x "$qemu" ] && ! fetch_qemu >"$log" 2>&1; then
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
    echo "32-bit code: cannot run here, not even through $(describe_emulation)" \
        "($wine32 --version fails)." >&2
    exit 1
fi
echo "32-bit code: emulated, $why, by $(describe_emulation)."
