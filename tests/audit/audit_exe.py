#!/usr/bin/python3
"""usage: audit_exe.py OBJDUMP NM PLANT windows-imports.txt VERSION OTHER_BASE Velmora.exe

Checks the built Velmora.exe as Windows NT 4.0 would load it, on any x86 CPU
that it runs on: a 32-bit (i386) GUI executable whose subsystem version NT 4.0
accepts, whose code holds no instruction that the i486 lacks, importing
exactly the listed functions of system DLLs, each dated to Windows NT 4.0 or
earlier, and carrying exactly its icon, icon group, version record, which
gives VERSION (the build's, e.g. 1.0.0.3), and manifest, which says asInvoker
and nothing more. Checks it as it ships too: at most 32 KiB, with no debug
information but the name of the file that holds it.

And as BinSkim holds a 32-bit image to the rules for one that a later Windows
loads anywhere: ASLR (DYNAMIC_BASE), NX_COMPAT and NO_SEH; no section both
writable and executable, none shared; and relocations that are complete, so
that the image runs wherever ASLR puts it (Wine always loads it at its
preferred base, so only this shows a missing one). The exe, moved by its own
.reloc to the base of OTHER_BASE (the same sources linked at another base),
must equal it, section by section. Each of these checks first checks itself
on a copy of the exe with a fault planted: a flag cleared, a section made
writable and executable or shared, a fixup dropped.

The instruction check disassembles the code with OBJDUMP and names each
instruction found by its address and the function it lies in, which NM reads
from the debug information beside the exe (Velmora.exe.debug), where it is.
It checks itself first: PLANT, an object file with one cmov planted in it,
must fail it.

Prints what it checked; exits non-zero when it found a fault.
"""

import bisect
import os
import re
import struct
import subprocess
import sys
from xml.etree import ElementTree

import pefile

SIZE_LIMIT = 32 * 1024

# What the i486 lacks, by the mnemonic that objdump gives (AT&T syntax), with
# the CPU that brought it. Windows NT 4.0 runs on an i486; an instruction of a
# later CPU ends the process there with STATUS_ILLEGAL_INSTRUCTION. ud2 stays:
# it is there to trap.
LATER_INSTRUCTIONS = [
    (r"cmov\w+", "Pentium Pro"),
    (r"fcmov\w+", "Pentium Pro"),
    (r"fu?comip?", "Pentium Pro"),  # fcomi, fcomip, fucomi, fucomip
    (r"rdpmc", "Pentium Pro"),
    (r"cmpxchg(8|16)b", "Pentium"),
    (r"rdtscp?", "Pentium"),
    (r"rdmsr|wrmsr", "Pentium"),
    (r"cpuid", "Pentium and the last i486s"),
    (r"sysenter|sysexit|syscall|sysret\w*", "Pentium II"),
    (r"fxsave\w*|fxrstor\w*|xsave\w*|xrstor\w*", "Pentium II"),
    (r"fisttp\w*", "Pentium 4 (SSE3)"),
    (r"emms|femms|prefetch\w*|clflush\w*|[lms]fence|monitor|mwait|movnti|maskmovq",
     "Pentium MMX and later"),
    (r"popcnt|lzcnt|tzcnt|movbe|crc32\w*|rdrand|rdseed|endbr32|endbr64|ud1|ud0",
     "later CPUs"),
]
# Registers that the i486 lacks: MMX, SSE, AVX and AVX-512 (and its masks).
LATER_REGISTERS = re.compile(r"%(?:[xyz]mm\d+|mm\d|k[0-7])\b")
# Prefixes that objdump writes as words of their own.
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "addr16", "data32",
            "addr32", "cs", "ds", "es", "fs", "gs", "ss", "bnd", "notrack"}

# Flags of the optional header's DllCharacteristics, and of a section.
DYNAMIC_BASE, NX_COMPAT, NO_SEH = 0x0040, 0x0100, 0x0400
REQUIRED_FLAGS = ((DYNAMIC_BASE, "DYNAMIC_BASE"), (NX_COMPAT, "NX_COMPAT"), (NO_SEH, "NO_SEH"))
SCN_MEM_SHARED, SCN_MEM_EXECUTE, SCN_MEM_WRITE = 0x10000000, 0x20000000, 0x80000000
# The section that names the debug information's file, with its checksum: it
# differs from one link to another.
DEBUG_LINK = ".gnu_debuglink"

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
LANG_NEUTRAL, LANG_EN_US = 0x0000, 0x0409

# What the manifest holds, element by element: that Velmora runs as whoever
# starts it, and nothing else. A manifest of its own is what keeps Windows from
# obeying a Velmora.exe.manifest planted beside it; a dependency (Common
# Controls 6) would change the window's look, a DPI setting its scaling, a
# file element would redirect a DLL. Windows XP refuses a trustInfo outside
# the v2 or v3 namespace.
ASM_V1, ASM_V3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
MANIFEST_ELEMENTS = ["{%s}assembly" % ASM_V1, "{%s}trustInfo" % ASM_V3, "{%s}security" % ASM_V3,
                     "{%s}requestedPrivileges" % ASM_V3, "{%s}requestedExecutionLevel" % ASM_V3]
EXECUTION_LEVEL = {"level": "asInvoker", "uiAccess": "false"}

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


def check_none(found, what):
    """Each of the faults `found` as a fault of its own; `what` where none is."""
    for fault in found:
        check(False, fault)
    check(not found, what)


def load_allowlist(path):
    """(dll, function) -> (earliest Windows, source)."""
    allowed = {}
    for line in open(path, encoding="utf-8"):
        fields = line.split("#", 1)[0].split()
        if fields:
            dll, function, earliest, source = fields[:4]
            allowed[(dll.lower(), function)] = (earliest, source)
    return allowed


def dated_to_nt4(earliest):
    """Whether an allowlist date is Windows NT 4.0 or earlier: NT3.1 to NT4.0."""
    match = re.fullmatch(r"NT(\d)\.(\d+)", earliest)
    # Minor versions are compared as NT wrote them: 3.1 < 3.5 < 3.51 < 4.0.
    return bool(match) and (int(match.group(1)), float("0." + match.group(2))) <= (4, 0.0)


def later_instruction(mnemonic, operands, raw):
    """What makes an instruction one that the i486 lacks, or None."""
    for pattern, cpu in LATER_INSTRUCTIONS:
        if re.fullmatch(pattern, mnemonic):
            return "an instruction of the %s" % cpu
    # The multi-byte NOP (0F 1F), of the Pentium Pro; a one-byte nop is 90.
    if mnemonic.startswith("nop") and (operands or re.search(r"\b0f 1f\b", raw)):
        return "the multi-byte NOP of the Pentium Pro"
    if LATER_REGISTERS.search(operands):
        return "an MMX, SSE or AVX register"
    # "(bad)" is data, not an instruction: the linker ends the code with the
    # (empty) lists of static constructors and destructors.
    return None


def function_names(nm, binary):
    """Sorted (address, name) of the functions in the debug information that
    lies beside `binary`, or in `binary` itself where that is an object."""
    debug = binary + ".debug"
    source = debug if os.path.exists(debug) else binary
    listing = subprocess.run([nm, "--defined-only", "-C", source], capture_output=True,
                             text=True, check=True).stdout
    names = []
    for line in listing.splitlines():
        fields = line.split(" ", 2)
        if len(fields) == 3 and fields[1] in "Tt" and not fields[2].startswith(".text"):
            names.append((int(fields[0], 16), fields[2]))
    return sorted(names)


def instruction_faults(objdump, nm, binary):
    """Each instruction of `binary`'s code that the i486 lacks, as text."""
    listing = subprocess.run([objdump, "-d", "-w", binary], capture_output=True, text=True,
                             check=True).stdout
    names = function_names(nm, binary)
    addresses = [address for address, _name in names]
    faults = []
    for line in listing.splitlines():
        match = re.match(r"\s*([0-9a-f]+):\t((?:[0-9a-f]{2} )+)\s*\t(.*)$", line)
        if not match:
            continue
        address, raw, text = int(match.group(1), 16), match.group(2), match.group(3)
        words = text.split("#", 1)[0].split()
        while words and words[0] in PREFIXES:
            words.pop(0)
        if not words:
            continue
        mnemonic, operands = words[0], " ".join(words[1:])
        why = later_instruction(mnemonic, operands, raw)
        if why:
            at = bisect.bisect_right(addresses, address) - 1
            where = names[at][1] if at >= 0 else "no known function"
            faults.append("%s at 0x%x in %s: %s" % (text.strip(), address, where, why))
    return faults


def check_instructions(objdump, nm, plant, exe):
    planted = instruction_faults(objdump, nm, plant)
    check(len(planted) == 1 and planted[0].startswith("cmov") and "PlantedCmov" in planted[0],
          "the instruction check finds the one cmov planted in %s: %s"
          % (os.path.basename(plant), "; ".join(planted) or "nothing"))
    check_none(instruction_faults(objdump, nm, exe),
               "no instruction that the i486 lacks, from Windows NT 4.0's oldest CPU on")


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
    check(size <= SIZE_LIMIT, "%d bytes, at most %d" % (size, SIZE_LIMIT))
    sections = {section_name(pe, section): section for section in pe.sections}
    debug = sorted(name for name in sections if name.startswith(".debug"))
    check(not debug, "no debug sections %s" % debug)
    link = sections.get(".gnu_debuglink")
    linked = link.get_data().split(b"\0", 1)[0].decode(errors="replace") if link else ""
    check(linked == "Velmora.exe.debug", "debug information in %s" % (linked or "no file named"))


def hardening_faults(data):
    """What in the image `data` breaks BinSkim's rules for its flags and sections."""
    pe = pefile.PE(data=data, fast_load=True)
    found = []
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    for flag, name in REQUIRED_FLAGS:
        if not flags & flag:
            found.append("DllCharacteristics 0x%x lacks %s" % (flags, name))
    if pe.FILE_HEADER.Characteristics & 0x0001:
        found.append("the relocations are stripped (IMAGE_FILE_RELOCS_STRIPPED)")
    for section in pe.sections:
        name, flags = section_name(pe, section), section.Characteristics
        if flags & SCN_MEM_WRITE and flags & SCN_MEM_EXECUTE:
            found.append("section %s is writable and executable" % name)
        if flags & SCN_MEM_SHARED:
            found.append("section %s is shared" % name)
    return found


def fixups(pe):
    """The RVAs that the image's .reloc moves (IMAGE_REL_BASED_HIGHLOW), and
    whatever else it holds but padding."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]  # IMAGE_DIRECTORY_ENTRY_BASERELOC
    table = pe.get_data(entry.VirtualAddress, entry.Size) if entry.Size else b""
    rvas, odd, offset = [], [], 0
    while offset + 8 <= len(table):
        page, size = struct.unpack_from("<II", table, offset)
        if size < 8 or offset + size > len(table):
            odd.append("a relocation block of %d bytes at 0x%x" % (size, page))
            break
        for (word,) in struct.iter_unpack("<H", table[offset + 8:offset + size]):
            kind, rva = word >> 12, page + (word & 0xFFF)
            if kind == 3:
                rvas.append(rva)
            elif kind != 0:
                odd.append("a fixup of type %d at 0x%x" % (kind, rva))
        offset += size
    return rvas, odd


def relocation_faults(data, other_data):
    """How the image `data`, moved by its own .reloc to the base of the image
    `other_data`, differs from it; and how many fixups it applied."""
    pe = pefile.PE(data=data, fast_load=True)
    other = pefile.PE(data=other_data, fast_load=True)
    delta = (other.OPTIONAL_HEADER.ImageBase - pe.OPTIONAL_HEADER.ImageBase) & 0xFFFFFFFF
    if delta == 0:
        return ["the other link lies at the same base, 0x%x" % pe.OPTIONAL_HEADER.ImageBase], 0
    rvas, found = fixups(pe)
    moved = bytearray(data)
    for rva in rvas:
        at = pe.get_offset_from_rva(rva)
        struct.pack_into("<I", moved, at, (struct.unpack_from("<I", moved, at)[0] + delta) & 0xFFFFFFFF)
    mine = {section_name(pe, section): section for section in pe.sections}
    theirs = {section_name(other, section): section for section in other.sections}
    if sorted(mine) != sorted(theirs):
        found.append("sections %s, but %s at the other base" % (sorted(mine), sorted(theirs)))
    for name, section in mine.items():
        there = theirs.get(name)
        if name == DEBUG_LINK or there is None:
            continue
        start, size = section.PointerToRawData, section.SizeOfRawData
        a = moved[start:start + size]
        b = other_data[there.PointerToRawData:there.PointerToRawData + there.SizeOfRawData]
        if section.VirtualAddress != there.VirtualAddress or len(a) != len(b):
            found.append("section %s lies elsewhere or has another size at the other base" % name)
            continue
        differing = [i for i in range(size) if a[i] != b[i]]
        if differing:
            found.append("section %s: %d bytes differ once moved, the first at RVA 0x%x"
                         % (name, len(differing), section.VirtualAddress + differing[0]))
    return found, len(rvas)


def planted(data, offset, width, change):
    """A copy of `data` with the little-endian field of `width` bytes at
    `offset` changed."""
    copy = bytearray(data)
    form = "<H" if width == 2 else "<I"
    struct.pack_into(form, copy, offset, change(struct.unpack_from(form, copy, offset)[0]))
    return bytes(copy)


def check_hardening(data, other_base):
    pe = pefile.PE(data=data, fast_load=True)
    other_data = open(other_base, "rb").read()

    # Each check must fail its planted fault before it checks the exe.
    flags_at = pe.OPTIONAL_HEADER.get_field_absolute_offset("DllCharacteristics")
    plants = [("%s cleared" % name, planted(data, flags_at, 2, lambda v, f=flag: v & ~f), name)
              for flag, name in REQUIRED_FLAGS]
    code = next(s for s in pe.sections if s.Characteristics & SCN_MEM_EXECUTE)
    data_section = next(s for s in pe.sections if not s.Characteristics & SCN_MEM_EXECUTE)
    for section, flag, what in ((code, SCN_MEM_WRITE, "writable and executable"),
                                (data_section, SCN_MEM_SHARED, "shared")):
        at = section.get_field_absolute_offset("Characteristics")
        plants.append(("section %s made %s" % (section_name(pe, section), what),
                       planted(data, at, 4, lambda v, f=flag: v | f), what))
    for what, image, expected in plants:
        found = hardening_faults(image)
        check(any(expected in fault for fault in found),
              "the hardening check finds %s: %s" % (what, "; ".join(found) or "nothing"))
    reloc = pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]
    first_fixup = pe.get_offset_from_rva(reloc.VirtualAddress) + 8
    dropped = planted(data, first_fixup, 2, lambda word: word & 0x0FFF)  # made padding
    found, _count = relocation_faults(dropped, other_data)
    check(bool(found), "the relocation check finds a fixup dropped: %s"
          % ("; ".join(found) or "nothing"))

    check_none(hardening_faults(data),
               "DllCharacteristics 0x%x: DYNAMIC_BASE, NX_COMPAT and NO_SEH; no section both "
               "writable and executable, none shared" % pe.OPTIONAL_HEADER.DllCharacteristics)
    found, count = relocation_faults(data, other_data)
    check_none(found, "relocations complete: its %d fixups move it to 0x%x, where it equals %s "
               "section by section" % (count, pefile.PE(data=other_data, fast_load=True)
                                       .OPTIONAL_HEADER.ImageBase, os.path.basename(other_base)))


def check_imports(pe, allowed):
    undated = []
    imported = set()
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode().lower()
        for symbol in entry.imports:
            if symbol.name is None:
                check(False, "%s imported by ordinal %d" % (dll, symbol.ordinal))
                continue
            name = symbol.name.decode()
            imported.add((dll, name))
            entry = allowed.get((dll, name))
            if entry is None:
                check(False, "%s!%s is on the list of Windows NT 4.0 imports" % (dll, name))
            elif entry[1] == "unchecked" or not dated_to_nt4(entry[0]):
                undated.append("%s!%s" % (dll, name))
    check(True, "%d imports from %s" % (
        len(imported), ", ".join(sorted(e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT))))
    check(not undated, "every import has a source that dates it to Windows NT 4.0 or earlier: %s"
          % (" ".join(undated) or "yes"))
    # The list holds what the exe imports, and nothing more.
    stale = sorted("%s!%s" % key for key in allowed if key not in imported)
    check(not stale, "every listed import is imported: %s" % (" ".join(stale) or "yes"))


def resources(pe):
    found = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name_entry in type_entry.directory.entries:
            for lang_entry in name_entry.directory.entries:
                data = pe.get_data(lang_entry.data.struct.OffsetToData, lang_entry.data.struct.Size)
                found[(type_entry.id, name_entry.id, lang_entry.id)] = data
    return found


def manifest_faults(found):
    """What is wrong with the manifest among the resources `found`."""
    data = found.get((RT_MANIFEST, 1, LANG_NEUTRAL))
    if data is None:
        return ["no manifest (resource 24/1): one planted beside the exe would be obeyed"]
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        return ["the manifest is not well-formed XML: %s" % error]
    faults = []
    elements = [element.tag for element in root.iter()]
    if elements != MANIFEST_ELEMENTS:
        named = lambda tags: " ".join(tag.rsplit("}", 1)[-1] for tag in tags)
        faults.append("the manifest's elements are %s, not %s, each in its namespace"
                      % (named(elements), named(MANIFEST_ELEMENTS)))
    levels = [element.attrib for element in root.iter(MANIFEST_ELEMENTS[-1])]
    if levels != [EXECUTION_LEVEL]:
        faults.append("the manifest's execution level is %s, not %s" % (levels, EXECUTION_LEVEL))
    return faults


def check_manifest(found):
    # The check must pass a right manifest and find each fault planted in it,
    # before it checks the exe's.
    right = (b'<assembly xmlns="%s" manifestVersion="1.0"><trustInfo xmlns="%s"><security>'
             b'<requestedPrivileges><requestedExecutionLevel level="asInvoker" uiAccess="false"/>'
             b'</requestedPrivileges></security></trustInfo></assembly>'
             % (ASM_V1.encode(), ASM_V3.encode()))
    dependency = right.replace(
        b"</assembly>", b'<dependency><dependentAssembly><assemblyIdentity type="win32" '
        b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"/></dependentAssembly>'
        b"</dependency></assembly>")
    elevated = right.replace(b'"asInvoker"', b'"requireAdministrator"')
    key = (RT_MANIFEST, 1, LANG_NEUTRAL)
    check(not manifest_faults({key: right}), "the manifest check passes a right one: %s"
          % ("; ".join(manifest_faults({key: right})) or "yes"))
    for what, planted, expected in (("no manifest", {}, "no manifest"),
                                    ("a dependency on Common Controls 6", {key: dependency},
                                     "dependency"),
                                    ("requireAdministrator", {key: elevated},
                                     "requireAdministrator")):
        faults = manifest_faults(planted)
        check(any(expected in fault for fault in faults),
              "the manifest check finds %s: %s" % (what, "; ".join(faults) or "nothing"))
    check_none(manifest_faults(found),
               "the manifest asks for asInvoker without uiAccess, and for nothing else")


def check_resources(pe):
    found = resources(pe)
    expected = {(RT_ICON, 30001, LANG_NEUTRAL), (RT_GROUP_ICON, 1, LANG_NEUTRAL),
                (RT_VERSION, 1, LANG_EN_US), (RT_MANIFEST, 1, LANG_NEUTRAL)}
    check(set(found) == expected,
          "resources are exactly icon 30001, group 1 (neutral), version 1 (0409) and "
          "manifest 1 (neutral): %s" % sorted(found))
    check_manifest(found)

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
    objdump, nm, plant, allowlist, version, other_base, exe = sys.argv[1:8]
    pe = pefile.PE(exe)
    check_headers(pe)
    check_as_shipped(pe, exe)
    check_hardening(open(exe, "rb").read(), other_base)
    check_instructions(objdump, nm, plant, exe)
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
