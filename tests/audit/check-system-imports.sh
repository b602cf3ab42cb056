#!/bin/sh
# usage: check-system-imports.sh OBJDUMP PROGRAM.exe...
#
# Checks that each program is a 32-bit (i386) PE executable whose imports are
# DLLs that ship with every Windows NT, and prints them.
set -eu
objdump=$1
shift
system_dlls="advapi32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll"
status=0
for program in "$@"; do
    name=$(basename "$program")
    if ! "$objdump" -f "$program" | grep -q "file format pei-i386"; then
        echo "$name: not a PE32 (i386) executable" >&2
        status=1
    fi
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    echo "$name: PE32 i386, imports" $dlls
    for dll in $dlls; do
        case " $system_dlls " in
        *" $dll "*) ;;
        *)
            echo "$name imports $dll, which is not a system DLL" >&2
            status=1
            ;;
        esac
    done
done
exit $status
