#!/usr/bin/python3
"""The rig's stand-in for the ATI display driver at a start of Windows.

    simulated-driver.py CARRY SOURCE_CONF NEXT_CONF

Reads "DALRestrictedModesBCD" from CARRY (the driver key as regcarry saved it)
and writes NEXT_CONF: SOURCE_CONF without the Modelines of the modes the list
refuses, so that the X server, and Wine on it, no longer offers them. The rig
passes the unfiltered configuration as SOURCE_CONF at every restart, so a list
that refuses less brings modes back.

A record refuses the Modelines named WxH_R whose rate is R, width W and height
H; a width or height of 0 stands for any. The depth is not looked at: the
server runs at one depth, and Wine derives all its depths from the same
Modelines. A record with rate 0 names no rate (the program writes such records
to disable a whole colour depth) and refuses no Modeline. A size whose every
rate is refused is no longer offered; when no mode at all would be left, the
source's start mode stays. When the start mode is refused, the server starts at
the lowest rate left of the same size, or else at the first Modeline left.
"""

import re
import sys

VALUE_NAME = "dalrestrictedmodesbcd"
REG_BINARY = 3
RECORD_SIZE = 8

MODELINE = re.compile(r'^\s*Modeline\s+"((\d+)x(\d+)_(\d+))"', re.IGNORECASE)
MODES = re.compile(r'^(\s*Modes\s+)(.*?)\s*$', re.IGNORECASE)


def note(text):
    print(f"simulated driver: {text}", file=sys.stderr)


def read_restricted(carry_path):
    """The bytes of the list in the driver key itself (not a subkey); empty when absent."""
    with open(carry_path, encoding="utf-8") as carry:
        lines = carry.read().splitlines()
    if not lines or lines[0] != "regcarry 1":
        raise ValueError(f"{carry_path} is not a regcarry file")
    subkey = None
    for line in lines[1:]:
        fields = line.split("\t")
        if fields[0] == "key" and len(fields) == 2:
            subkey = fields[1]
        elif fields[0] == "value" and len(fields) == 4 and subkey == "":
            kind, data, name = fields[1:]
            # Registry value names are case-insensitive.
            if name.lower() != VALUE_NAME:
                continue
            if int(kind) != REG_BINARY:
                note(f"{name} has registry type {kind}, not REG_BINARY; nothing refused")
                return b""
            return bytes.fromhex(data)
    return b""


def bcd_field(hi, lo):
    """A 4-digit field, higher digit pair first; None when a nibble is no decimal digit."""
    digits = [hi >> 4, hi & 15, lo >> 4, lo & 15]
    if any(d > 9 for d in digits):
        return None
    return digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3]


def decode_records(data):
    """(width, height, depth, rate) of each whole, well-formed 8-byte record."""
    records = []
    whole = len(data) - len(data) % RECORD_SIZE
    if whole != len(data):
        note(f"the list's last {len(data) - whole} bytes are no whole record; ignored")
    for start in range(0, whole, RECORD_SIZE):
        chunk = data[start:start + RECORD_SIZE]
        fields = [bcd_field(chunk[i], chunk[i + 1]) for i in range(0, RECORD_SIZE, 2)]
        if None in fields:
            note(f"record {start // RECORD_SIZE + 1} ({chunk.hex(' ')}) is not BCD; ignored")
            continue
        records.append(tuple(fields))
    return records


def refuses(record, width, height, rate):
    r_width, r_height, _depth, r_rate = record
    # Every Modeline has a rate, so a record with rate 0 matches none.
    return r_rate == rate and r_width in (0, width) and r_height in (0, height)


def start_modes(names, modes, kept, refused):
    """A "Modes" list without refused names; when its first name is refused, the lowest
    rate left of that size, or else the first mode left, comes first."""
    left = [name for name in names if name not in refused]
    if not names or names[0] not in refused:
        return left
    size = next(mode[1:3] for mode in modes if mode[0] == names[0])
    same_size = [mode for mode in kept if mode[1:3] == size]
    first = min(same_size, key=lambda mode: mode[3]) if same_size else kept[0]
    return [first[0]] + [name for name in left if name != first[0]]


def derive_config(source_lines, records):
    """The source's lines without refused Modelines; the refused names in source order."""
    modes = []  # (name, width, height, rate) of each rate-named Modeline
    start_names = []  # of the first "Modes" line
    for line in source_lines:
        m = MODELINE.match(line)
        if m:
            modes.append((m.group(1), int(m.group(2)), int(m.group(3)), int(m.group(4))))
        m = MODES.match(line)
        if m and not start_names:
            start_names = re.findall(r'"([^"]*)"', m.group(2))
    refused = [name for name, w, h, r in modes if any(refuses(rec, w, h, r) for rec in records)]
    if not refused:
        return list(source_lines), []

    kept = [mode for mode in modes if mode[0] not in refused]
    if not kept:
        # The driver never leaves Windows without a mode.
        kept = [next((mode for mode in modes if mode[0] in start_names[:1]), modes[0])]
        refused.remove(kept[0][0])
        note(f"every mode is refused; {kept[0][0]} stays")

    out = []
    for line in source_lines:
        m = MODELINE.match(line)
        if m and m.group(1) in refused:
            continue
        m = MODES.match(line)
        if m:
            names = re.findall(r'"([^"]*)"', m.group(2))
            left = start_modes(names, modes, kept, refused)
            if left != names:
                line = m.group(1) + " ".join(f'"{name}"' for name in left) + "\n"
        out.append(line)
    return out, refused


def main(argv):
    if len(argv) != 4:
        print("usage: simulated-driver.py CARRY SOURCE_CONF NEXT_CONF", file=sys.stderr)
        return 64
    carry, source, target = argv[1:]
    try:
        records = decode_records(read_restricted(carry))
    except (OSError, ValueError) as err:
        note(str(err))
        return 1
    with open(source, encoding="utf-8") as conf:
        source_lines = conf.readlines()
    lines, refused = derive_config(source_lines, records)
    if refused:
        note("refuses " + " ".join(refused))
        lines.insert(0, f"# {source} without the modes DALRestrictedModesBCD refuses:\n"
                        f"# {' '.join(refused)} (written by the rig's simulated driver)\n")
    with open(target, "w", encoding="utf-8") as conf:
        conf.writelines(lines)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
