#!/usr/bin/python3
"""usage: audit_kit.py OBJDUMP NM kit-imports.txt PLANTED RUNNER PROGRAM...

Checks that every program of the test kit starts on every Windows that
Velmora does: each a PE32 (i386) image whose imports from Windows' own DLLs
are each dated by kit-imports.txt to Windows NT 4.0 or earlier, and whose
imports from msvcrt.dll, the test programs' C runtime, are none of those
known to have come to it later. The runner (runtests.exe), built as
Velmora.exe is, must also import nothing from msvcrt.dll, accept Windows NT
4.0's subsystem version, and hold no instruction that the i486 lacks.

It checks itself first: PLANTED, a program that imports OpenThread (Windows
2000), must fail the import check.
"""

import os
import sys

import pefile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audit_exe  # noqa: E402
from audit_exe import check, check_none, dated_to_nt4, instruction_faults, load_allowlist  # noqa

# What msvcrt.dll gained after Windows NT 4.0: the 64-bit time and file
# status calls and the secure CRT of Visual C++ 2002 and later, and what
# libstdc++ and mingw-w64 reach for where they find them.
LATER_MSVCRT = {
    "_fstat64", "_stat64", "_wstat64", "_fstat64i32", "_stat64i32", "_ftelli64", "_fseeki64",
    "_time64", "_localtime64", "_gmtime64", "_mktime64", "_mkgmtime64", "_ctime64",
    "_difftime64", "_findfirst64", "_findnext64", "_get_errno", "_set_errno",
    "_aligned_malloc", "_aligned_free", "_aligned_realloc", "_strtoi64", "_strtoui64",
    "_wcstoi64", "_wcstoui64", "_vscprintf", "_vscwprintf", "_set_invalid_parameter_handler",
    "_get_invalid_parameter_handler", "__iob_func", "_get_osfhandle_s", "strcpy_s", "strcat_s",
    "strncpy_s", "memcpy_s", "memmove_s", "sprintf_s", "vsprintf_s", "_itoa_s", "_i64toa_s",
    "wcscpy_s", "wcscat_s", "_wfopen_s", "fopen_s", "localtime_s", "gmtime_s",
}


def import_faults(path, allowed, runner):
    """Each import of `path` that the kit's programs may not have, as text,
    and the (dll, function) pairs that it imports."""
    pe = pefile.PE(path)
    faults = []
    imported = set()
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode().lower()
        for symbol in entry.imports:
            if symbol.name is None:
                faults.append("%s imported by ordinal %d" % (dll, symbol.ordinal))
                continue
            name = symbol.name.decode()
            imported.add((dll, name))
            if dll == "msvcrt.dll":
                if runner:
                    faults.append("msvcrt.dll!%s: the runner has no C runtime" % name)
                elif name in LATER_MSVCRT:
                    faults.append("msvcrt.dll!%s came to msvcrt.dll after Windows NT 4.0" % name)
                continue
            dated = allowed.get((dll, name))
            if dated is None or not dated_to_nt4(dated[0]):
                faults.append("%s!%s is not dated to Windows NT 4.0 or earlier" % (dll, name))
    return faults, imported


def main():
    objdump, nm, allowlist, planted, runner = sys.argv[1:6]
    programs = sys.argv[6:]
    allowed = load_allowlist(allowlist)

    planted_faults, _ = import_faults(planted, allowed, False)
    check(any(fault.startswith("kernel32.dll!OpenThread ") for fault in planted_faults),
          "the import check finds OpenThread, planted in %s: %s"
          % (os.path.basename(planted), "; ".join(planted_faults) or "nothing"))

    pe = pefile.PE(runner, fast_load=True)
    check(pe.FILE_HEADER.Machine == 0x14C, "runtests.exe: machine is i386")
    check(pe.OPTIONAL_HEADER.Subsystem == 3, "runtests.exe: a console program")
    check((pe.OPTIONAL_HEADER.MajorSubsystemVersion, pe.OPTIONAL_HEADER.MinorSubsystemVersion)
          <= (4, 0), "runtests.exe: a subsystem version that Windows NT 4.0 accepts")
    check_none(instruction_faults(objdump, nm, runner),
               "runtests.exe: no instruction that the i486 lacks")

    imported = set()
    for path in [runner] + programs:
        faults, found = import_faults(path, allowed, path == runner)
        imported |= found
        check_none(faults, "%s: %d imports, each one that Windows NT 4.0 has"
                   % (os.path.basename(path), len(found)))
    stale = sorted("%s!%s" % key for key in allowed if key not in imported)
    check(not stale, "every listed import is imported: %s" % (" ".join(stale) or "yes"))

    if audit_exe.faults:
        print("%d fault(s) in the kit's programs" % len(audit_exe.faults))
        return 1
    print("the kit's programs pass the audit")
    return 0


if __name__ == "__main__":
    sys.exit(main())
