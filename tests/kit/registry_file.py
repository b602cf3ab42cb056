#!/usr/bin/env python3
"""The two places of Velmora's values, and the DPI setting, in a Wine
prefix's registry files, read and written while the prefix's wineserver is
stopped: the files hold every value as its type and exact bytes, which
neither Wine's reg.exe nor anything in the prefix reports as faithfully.

usage: registry_file.py seed PREFIX VIEWS
       registry_file.py snapshot PREFIX VIEWS OUT
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
# that a value put back in the wrong view, or with another type, shows.
SEEDS = {
    "own": {
        PLACES[0]: {"InstallDate": "hex(b):88,77,66,55,44,33,22,11",
                    "RegisteredOwner": 'str(2):"%USERNAME% & co"'},
        PLACES[1]: {"FirstInstallDateTime": "hex(3):de,ad,be,ef,01,02,03",
                    "RegisteredOwner": "hex(0):ff,ee"},
    },
    "other": {
        PLACES[0]: {"InstallDate": "hex(3):01,02,03,04,05",
                    "RegisteredOwner": "hex(7):61,00,00,00,62,00,00,00,00,00"},
        PLACES[1]: {"FirstInstallDateTime": None, "RegisteredOwner": '"Sixty-four"'},
    },
}


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


def write_lines(path, lines):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines))


def section_end(lines, start):
    end = start + 1
    while end < len(lines) and not lines[end].startswith("["):
        end += 1
    return end


def entries(lines, start):
    """Each value of the section at `start` as (name, data, its lines), the
    data as the file writes it, continuation lines joined."""
    found = []
    i = start + 1
    end = section_end(lines, start)
    while i < end:
        first = i
        line = lines[i]
        while line.endswith("\\") and i + 1 < end:
            i += 1
            line = line[:-1] + lines[i].lstrip()
        match = re.match(r'^("(?:[^"\\]|\\.)*"|@)=(.*)$', line)
        if match:
            found.append((match.group(1), match.group(2), range(first, i + 1)))
        i += 1
    return found


def values_of(lines, start):
    return {name: data for name, data, _ in entries(lines, start)}


def set_values(lines, key, values):
    """The lines with the section of `key` holding `values` (None: absent)."""
    start = index(lines)[escaped(key).lower()]
    dropped = set()
    for name, _, where in entries(lines, start):
        if name.strip('"') in values:
            dropped.update(where)
    end = section_end(lines, start)
    body = [line for i, line in enumerate(lines[start + 1:end], start + 1) if i not in dropped]
    at = 1 if body and body[0].startswith("#time=") else 0
    body[at:at] = ['"%s"=%s' % (name, data) for name, data in values.items() if data is not None]
    return lines[:start + 1] + body + lines[end:]


def seed(prefix, views):
    path = prefix + "/system.reg"
    lines = read_lines(path)
    for view, places in keys(views).items():
        for place, seeds in zip(places, SEEDS[view].values()):
            lines = set_values(lines, place, seeds)
    write_lines(path, lines)
    path = prefix + "/user.reg"
    write_lines(path, set_values(read_lines(path), DPI_KEY, {"LogPixels": "dword:00000078"}))


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
