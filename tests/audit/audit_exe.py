#!/usr/bin/python3
"""usage: audit_exe.py windows-imports.txt VERSION Velmora.exe

Checks the built Velmora.exe as Windows NT 4.0 would load it: a 32-bit (i386)
GUI executable whose subsystem version NT 4.0 accepts, importing exactly the
listed functions of system DLLs, and carrying exactly its icon, icon group and
version record, which gives VERSION (the build's, e.g. 1.0.0.3). Checks it as
it ships too: at most 176 KiB, with no debug information but the name of the
file that holds it. Prints what it checked; exits non-zero when it found a
fault.
"""

import os
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
LANG_NEUTRAL, LANG_EN_US = 0x0000, 0x0409

FIXED_STRINGS = {
    "FileDescription": "Windows Velmora for Corvane for Windows 9x",
    "InternalName": "Velmora",
    "OriginalFilename": "Velmora.exe",
    "ProductName": "Velmora",
}

faults = []


def check(condition, what):
    print(("ok    " if condition else "FAULT ") + what)
    if not condition:
        faults.append(what)


def load_allowlist(path):
    allowed = {}
    for line in open(path, encoding="utf-8"):
        fields = line.split("#", 1)[0].split()
        if fields:
            dll, function, _earliest, source = fields
            allowed[(dll.lower(), function)] = source
    return allowed


def check_headers(pe):
    check(pe.FILE_HEADER.Machine == 0x14C, "machine is i386")
    check(pe.OPTIONAL_HEADER.Magic == 0x10B, "PE32 (not PE32+)")
    check(pe.OPTIONAL_HEADER.Subsystem == 2, "Windows GUI subsystem")
    subsystem = (pe.OPTIONAL_HEADER.MajorSubsystemVersion,
                 pe.OPTIONAL_HEADER.MinorSubsystemVersion)
    system = (pe.OPTIONAL_HEADER.MajorOperatingSystemVersion,
              pe.OPTIONAL_HEADER.MinorOperatingSystemVersion)
    check(subsystem <= (4, 0), "subsystem version %d.%d allows Windows NT 4.0" % subsystem)
    check(system <= (4, 0), "operating system version %d.%d allows Windows NT 4.0" % system)


def section_name(pe, section):
    """A section's name; one longer than 8 bytes stands in the COFF string table,
    which follows the symbols, and the header holds "/" and its offset there."""
    name = section.Name.rstrip(b"\0")
    if name.startswith(b"/") and name[1:].isdigit():
        header = pe.FILE_HEADER
        start = header.PointerToSymbolTable + 18 * header.NumberOfSymbols + int(name[1:])
        name = pe.__data__[start:pe.__data__.find(b"\0", start)]
    return name.decode(errors="replace")


def check_as_shipped(pe, exe):
    size = os.path.getsize(exe)
    check(size <= 176 * 1024, "%d bytes, at most 176 KiB" % size)
    sections = {section_name(pe, section): section for section in pe.sections}
    debug = sorted(name for name in sections if name.startswith(".debug"))
    check(not debug, "no debug sections %s" % debug)
    link = sections.get(".gnu_debuglink")
    linked = link.get_data().split(b"\0", 1)[0].decode(errors="replace") if link else ""
    check(linked == "Velmora.exe.debug", "debug information in %s" % (linked or "no file named"))


def check_imports(pe, allowed):
    unchecked = []
    imported = set()
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode().lower()
        for symbol in entry.imports:
            if symbol.name is None:
                check(False, "%s imported by ordinal %d" % (dll, symbol.ordinal))
                continue
            name = symbol.name.decode()
            imported.add((dll, name))
            source = allowed.get((dll, name))
            if source is None:
                check(False, "%s!%s is on the list of Windows NT 4.0 imports" % (dll, name))
            elif source == "unchecked":
                unchecked.append("%s!%s" % (dll, name))
    check(True, "%d imports from %s" % (
        len(imported), ", ".join(sorted(e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT))))
    # The list's counts of what is dated to which Windows hold only while it
    # names nothing that the exe no longer imports.
    stale = sorted("%s!%s" % key for key in allowed if key not in imported)
    check(not stale, "every listed import is imported: %s" % (" ".join(stale) or "yes"))
    if unchecked:
        print("note  %d listed imports still await a source: %s" % (len(unchecked), " ".join(unchecked)))


def resources(pe):
    found = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name_entry in type_entry.directory.entries:
            for lang_entry in name_entry.directory.entries:
                data = pe.get_data(lang_entry.data.struct.OffsetToData, lang_entry.data.struct.Size)
                found[(type_entry.id, name_entry.id, lang_entry.id)] = data
    return found


def check_resources(pe):
    found = resources(pe)
    expected = {(RT_ICON, 30001, LANG_NEUTRAL), (RT_GROUP_ICON, 1, LANG_NEUTRAL),
                (RT_VERSION, 1, LANG_EN_US)}
    check(set(found) == expected,
          "resources are exactly icon 30001, group 1 (neutral) and version 1 (0409): %s"
          % sorted(found))

    image = found.get((RT_ICON, 30001, LANG_NEUTRAL), b"")
    if len(image) >= 40:
        _size, width, height, planes, bits = struct.unpack_from("<IiiHH", image)
        check((width, height, planes, bits) == (32, 64, 1, 4),
              "icon image is 32 x 32 in 16 colours (%d x %d, %d bpp)" % (width, height // 2, bits))
    group = found.get((RT_GROUP_ICON, 1, LANG_NEUTRAL), b"")
    if len(group) == 20:
        reserved, kind, count = struct.unpack_from("<HHH", group)
        width, height, colours, _r, planes, bits, _bytes, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
        check((reserved, kind, count) == (0, 1, 1), "icon group holds one icon")
        check((width, height, colours, bits, icon_id) == (32, 32, 16, 4, 30001),
              "icon group names the 32 x 32, 16-colour image 30001")
    else:
        check(False, "icon group directory is 20 bytes")


def check_version(pe, version):
    major, minor, patch, tweak = (int(number) for number in version.split("."))
    numbers = (major << 16 | minor, patch << 16 | tweak)
    fixed = pe.VS_FIXEDFILEINFO[0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) == numbers, "file version %s" % version)
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == numbers,
          "product version %s" % version)
    check(fixed.FileOS == 4, "operating system VOS__WINDOWS32")
    check(fixed.FileType == 1, "file type application")
    check(fixed.FileFlags & fixed.FileFlagsMask == 0, "no file flags")

    strings, translations = {}, []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                check(table.LangID == b"040904B0", "strings for 0409/04B0")
                strings = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                value = var.entry.get(b"Translation")
                translations.append(value.decode() if isinstance(value, bytes) else value)
    check(translations == ["0x0409 0x04b0"], "translation 0409/04B0: %s" % translations)
    text = "%d.%02d.%04d" % (major, minor, tweak)
    expected = dict(FIXED_STRINGS, FileVersion=text, ProductVersion=text)
    for key, value in expected.items():
        check(strings.get(key) == value, '%s is "%s"' % (key, value))
    for key in ("CompanyName", "LegalCopyright"):
        check(bool(strings.get(key)), "%s is given" % key)


def main():
    allowlist, version, exe = sys.argv[1:4]
    pe = pefile.PE(exe)
    check_headers(pe)
    check_as_shipped(pe, exe)
    check_imports(pe, load_allowlist(allowlist))
    check_resources(pe)
    check_version(pe, version)
    if faults:
        print("%d fault(s) in %s" % (len(faults), exe))
        return 1
    print("%s passes the audit" % exe)
    return 0


if __name__ == "__main__":
    sys.exit(main())
