#!/usr/bin/env python3
"""Makes Cadenzo's card database "ati.pci" from the PCI ID database (Debian's pci.ids).

Every device of ATI (vendor 1002) becomes a "D" record with the chip's name. Its subsystems
become "O" records, one per board maker, named after the maker and the chip, and "S" records
for single boards. Cadenzo finds an "S" record by the subsystem device number alone, whoever
made the board, and stops at the first that matches; so a board gets an "S" record only when
no other board of the same chip has its subsystem device number, and the makers' "O" records,
which come first in a block, name the rest.

Records are "K XXXX name": the kind, a blank, four upper-case hex digits, a blank, the name.
The file is Windows text: CR LF line ends, names in Windows-1252. Comment lines start with
";" and carry the PCI ID database's version and licence.

Run: python3 tools/make-ati-pci.py /usr/share/misc/pci.ids ati.pci
"""
import os
import re
import sys
import unicodedata

ATI = '1002'

VENDOR = re.compile(r'^([0-9a-f]{4})  (.+)$')
DEVICE = re.compile(r'^\t([0-9a-f]{4})  (.+)$')
SUBSYSTEM = re.compile(r'^\t\t([0-9a-f]{4}) ([0-9a-f]{4})  (.+)$')

# Company forms that make a maker's name long without telling boards apart.
COMPANY_FORMS = re.compile(
    r'[\s,]+(inc\.?|incorporated|incorporation|corporation|corp\.?|co\.?|ltd\.?|limited\.?|'
    r'company|bv|gmbh|ag)$', re.IGNORECASE)


def parse(text):
    """The header comment, every vendor's name, and ATI's devices with their subsystems."""
    lines = text.splitlines()
    header = []
    for line in lines:
        if not line.startswith('#'):
            break
        header.append(line[1:].strip())
    vendors = {}
    devices = []  # (device id, name, [(subsystem vendor, subsystem device, name)])
    vendor = None
    for line in lines:
        if line.startswith('C '):  # device classes follow the vendors
            break
        if line.startswith('#') or not line.strip():
            continue
        m = VENDOR.match(line)
        if m:
            vendor = m.group(1)
            vendors[vendor] = m.group(2).rstrip()
            continue
        if vendor != ATI:
            continue
        m = DEVICE.match(line)
        if m:
            devices.append((m.group(1), m.group(2).rstrip(), []))
            continue
        m = SUBSYSTEM.match(line)
        if m and devices:
            devices[-1][2].append((m.group(1), m.group(2), m.group(3).rstrip()))
    return header, vendors, devices


def maker(name):
    """A board maker's name as a person knows it: 'Tul Corporation / PowerColor' is
    PowerColor, 'Micro-Star International Co., Ltd. [MSI]' is Micro-Star International."""
    name = name.split(' / ')[-1]
    name = re.sub(r'\s*[\[(][^\])]*[\])]$', '', name)
    shorter = COMPANY_FORMS.sub('', name)
    while shorter != name and shorter:
        name = shorter
        shorter = COMPANY_FORMS.sub('', name)
    return name.rstrip(' ,')


def board(maker_name, name):
    """A board's name with its maker in front, unless the name starts with the maker already."""
    if name.lower().startswith(maker_name.split()[0].lower()):
        return name
    return maker_name + ' ' + name


def records(vendors, devices):
    out = []
    for device, chip, subsystems in devices:
        out.append(('D', device, chip))
        for vendor in sorted({v for v, _, _ in subsystems}):
            if vendor in vendors:
                out.append(('O', vendor, maker(vendors[vendor]) + ' ' + chip))
        boards = {}
        for vendor, sub, name in subsystems:
            boards.setdefault(sub, set()).add((vendor, name))
        for sub in sorted(boards):
            if len(boards[sub]) != 1:
                continue  # more than one board has this number: the makers' records name them
            (vendor, name), = boards[sub]
            out.append(('S', sub, board(maker(vendors[vendor]), name) if vendor in vendors
                        else name))
    return out


def ansi(text):
    """Windows-1252 bytes; a character beyond it loses its accents, or becomes '?'."""
    out = bytearray()
    for c in text:
        try:
            out += c.encode('cp1252')
            continue
        except UnicodeEncodeError:
            pass
        plain = unicodedata.normalize('NFKD', c).encode('cp1252', 'ignore')
        out += plain or b'?'
    return bytes(out)


def make(text):
    header, vendors, devices = parse(text)
    lines = ['; ' + line if line else ';' for line in header]
    lines += ['; Cadenzo\'s card database: the ATI devices (vendor 1002) of the PCI ID',
              '; database above and their boards, made by tools/make-ati-pci.py.',
              ';']
    lines += ['%s %s %s' % (kind, ident.upper(), name) for kind, ident, name in
              records(vendors, devices)]
    return b''.join(ansi(line) + b'\r\n' for line in lines)


def main(source, target):
    with open(source, encoding='utf-8') as f:
        data = make(f.read())
    temporary = target + '.new'
    with open(temporary, 'wb') as f:
        f.write(data)
    os.replace(temporary, target)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: make-ati-pci.py PCI_IDS ATI_PCI')
    main(sys.argv[1], sys.argv[2])
