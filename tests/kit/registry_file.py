#!/usr/bin/env python3
"""The two places of Velmora's values, and the DPI setting, in a Wine
prefix's registry files, read while the prefix's wineserver is stopped: the
files hold every value as its type and exact bytes, which neither Wine's
reg.exe nor anything in the prefix reports as faithfully. The unusual values
seeded beforehand go in through Wine's reg.exe, while Wine runs.

usage: registry_file.py seed VIEWS OUT
       registry_file.py snapshot PREFIX VIEWS OUT
       registry_file.py seeded SNAPSHOT VIEWS
       registry_file.py compare BEFORE AFTER
VIEWS is 64 for a 64-bit prefix (both views) or 32 for a 32-bit one.
"""
import json
import re
import sys

PLACES = ["Software\\Microsoft\\Windows NT\\CurrentVersion",
          "Software\\Microsoft\\Windows\\CurrentVersion"]
DPI_KEY = "Control Panel\\Desktop"

# Unusual values that the kit does not seed itself, other in each view, so
# that a value put back in the wrong view, or with another type, shows: each
# as its registry type and bytes, None for a value that is absent.
EXPAND_SZ, BINARY, DWORD, MULTI_SZ, QWORD = 2, 3, 4, 7, 11
SEEDS = {
    "own": {
        PLACES[0]: {"InstallDate": (QWORD, bytes.fromhex("8877665544332211")),
                    "RegisteredOwner": (EXPAND_SZ, "%USERNAME% & co\0".encode("utf-16-le"))},
        PLACES[1]: {"FirstInstallDateTime": (BINARY, bytes.fromhex("deadbeef010203")),
                    "RegisteredOwner": (0, bytes.fromhex("ffee"))},
    },
    "other": {
        PLACES[0]: {"InstallDate": (BINARY, bytes.fromhex("0102030405")),
                    "RegisteredOwner": (MULTI_SZ, "a\0b\0\0".encode("utf-16-le"))},
        PLACES[1]: {"FirstInstallDateTime": None,
                    "RegisteredOwner": (1, "Sixty-four\0".encode("utf-16-le"))},
    },
}
DPI_SEED = {"LogPixels": (DWORD, (120).to_bytes(4, "little"))}


def keys(views):
    """The keys of each place by the view they stand for."""
    if views == "32":
        return {"own": PLACES}
    return {"own": ["Software\\Wow6432Node\\" + p[len("Software\\"):] for p in PLACES],
            "other": PLACES}


def escaped(key):
    return key.replace("\\", "\\\\")


def index(lines):
    """Where each section of the file begins, by its key in lower case."""
    sections = {}
    for i, line in enumerate(lines):
        match = re.match(r"^\[(.*)\](?: \d+)?$", line)
        if match:
            sections[match.group(1).lower()] = i
    return sections


def read_lines(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read().split("\n")


def section_end(lines, start):
    end = start + 1
    while end < len(lines) and not lines[end].startswith("["):
        end += 1
    return end


def values_of(lines, start):
    """Each value of the section at `start`, by name, its data as the file
    writes it, continuation lines joined."""
    found = {}
    i = start + 1
    end = section_end(lines, start)
    while i < end:
        line = lines[i]
        while line.endswith("\\") and i + 1 < end:
            i += 1
            line = line[:-1] + lines[i].lstrip()
        match = re.match(r'^("(?:[^"\\]|\\.)*"|@)=(.*)$', line)
        if match:
            found[match.group(1)] = match.group(2)
        i += 1
    return found


def seed(views, out):
    """Files for `reg import`, one a view (OUT-own.reg, /reg:32, and in a
    64-bit prefix OUT-other.reg, /reg:64), that set the seeds as Wine itself
    then holds them: imported while Wine runs, they cannot be lost to a
    wineserver that loaded the registry before they were written."""
    for view in keys(views):
        lines = ["Windows Registry Editor Version 5.00", ""]
        sections = [("HKEY_LOCAL_MACHINE\\" + place, seeds)
                    for place, seeds in zip(PLACES, SEEDS[view].values())]
        if view == "own":
            sections.append(("HKEY_CURRENT_USER\\" + DPI_KEY, DPI_SEED))
        for key, seeds in sections:
            lines.append("[%s]" % key)
            for name, value in seeds.items():
                if value is None:
                    lines.append('"%s"=-' % name)
                else:
                    kind, data = value
                    lines.append('"%s"=hex(%x):%s' %
                                 (name, kind, ",".join("%02x" % b for b in data)))
            lines.append("")
        with open("%s-%s.reg" % (out, view), "w", encoding="utf-16", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")


def unescaped(match):
    code = match.group(1)
    if code.startswith("x"):
        return chr(int(code[1:], 16))
    return {"0": "\0", "n": "\n", "r": "\r", "t": "\t"}.get(code, code)


def decoded(data):
    """A value as the registry file writes it, as its type and bytes."""
    match = re.match(r'^(?:str\((\d+)\):)?"(.*)"$', data)
    if match:
        text = re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", unescaped, match.group(2))
        return (int(match.group(1) or 1), (text + "\0").encode("utf-16-le"))
    match = re.match(r"^dword:([0-9a-fA-F]{8})$", data)
    if match:
        return (DWORD, int(match.group(1), 16).to_bytes(4, "little"))
    match = re.match(r"^hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", data)
    if match:
        return (int(match.group(1) or "3", 16), bytes.fromhex(match.group(2).replace(",", "")))
    return None


def seeded(taken_path, views):
    """Whether the snapshot holds every seed: one that did not take would
    leave the check comparing Wine's own defaults."""
    with open(taken_path) as f:
        taken = json.load(f)
    expected = {view + ":" + place: seeds
                for view, places in keys(views).items()
                for place, seeds in zip(places, SEEDS[view].values())}
    expected["user:" + DPI_KEY] = DPI_SEED
    missing = []
    for key, seeds in expected.items():
        for name, value in seeds.items():
            data = taken[key].get('"%s"' % name)
            if (None if data is None else decoded(data)) != value:
                missing.append("%s %s: %s" % (key, name, data))
    for value in missing:
        print("not seeded: " + value)
    return 1 if missing else 0


def snapshot(prefix, views, out):
    lines = read_lines(prefix + "/system.reg")
    sections = index(lines)
    taken = {}
    for view, places in keys(views).items():
        for place in places:
            taken[view + ":" + place] = values_of(lines, sections[escaped(place).lower()])
    lines = read_lines(prefix + "/user.reg")
    desktop = values_of(lines, index(lines)[escaped(DPI_KEY).lower()])
    taken["user:" + DPI_KEY] = {'"LogPixels"': desktop.get('"LogPixels"')}
    with open(out, "w") as f:
        json.dump(taken, f, indent=1, sort_keys=True)


def compare(before_path, after_path):
    with open(before_path) as f:
        before = json.load(f)
    with open(after_path) as f:
        after = json.load(f)
    differences = []
    for key in sorted(set(before) | set(after)):
        old, new = before.get(key, {}), after.get(key, {})
        for name in sorted(set(old) | set(new)):
            if old.get(name) != new.get(name):
                differences.append("%s %s: %s before, %s after" % (key, name, old.get(name),
                                                                  new.get(name)))
    for difference in differences:
        print("not as before: " + difference)
    print("%d values compared, %d not as before" %
          (sum(len(v) for v in before.values()), len(differences)))
    return 1 if differences else 0


def main(args):
    if args[:1] == ["seed"] and len(args) == 3:
        seed(args[1], args[2])
    elif args[:1] == ["seeded"] and len(args) == 3:
        return seeded(args[1], args[2])
    elif args[:1] == ["snapshot"] and len(args) == 4:
        snapshot(args[1], args[2], args[3])
    elif args[:1] == ["compare"] and len(args) == 3:
        return compare(args[1], args[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
