#!/usr/bin/env python3
"""Builds Cadenzo's MSI package for one architecture with wixl (release/Cadenzo.wxs) and
msibuild (what wixl cannot write), the same bytes at every run for the same files.

wixl gives every package a new package code and its build's time in the summary information.
Here the package code is derived from what goes into the package, and both dates are
SOURCE_DATE_EPOCH (else 1980-01-01), written over wixl's in place: the values keep their size,
so nothing else in the file moves. The product code is one per version and architecture, the
components' codes one per file name and architecture, as Windows Installer wants them: the
same component is the same file in the same place in every version.

Run: python3 tools/make-msi.py ARCH STAGE SETUP_DLL VERSION_NSH ICON MSI
  ARCH         x64 or x86
  STAGE        a directory with Cadenzo.exe and the other files to install (as in the zip)
  SETUP_DLL    CadenzoSetup.dll of the same architecture, the removal's custom action
  VERSION_NSH  the build's Version.nsh (name, version, publisher)
  ICON         the program's icon, for the shortcut and the Add/Remove entry
  MSI          the package to write; written only once it is whole
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WXS = os.path.join(ROOT, 'release', 'Cadenzo.wxs')
# All of Cadenzo's generated codes lie in this namespace.
NAMESPACE = uuid.UUID('2d5e4c1a-7f3b-4e8a-9c61-0b8f3a6d2e57')
EARLIEST = 315532800  # 1980-01-01
SUMMARY = '\x05SummaryInformation'
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
MAX_INCLUSIVE = 0x200  # of the Upgrade table's attributes


def code(*words):
    return str(uuid.uuid5(NAMESPACE, '/'.join(words))).upper()


def version_defines(path):
    text = open(path, encoding='utf-8').read()
    return dict(re.findall(r'^!define (\w+) "(.*)"$', text, re.M))


def files_fragments(arch, stage):
    """The components of every staged file but Cadenzo.exe (the wxs has it), and their
    references for the feature: Files.wxi and FileRefs.wxi."""
    win64 = 'yes' if arch == 'x64' else 'no'
    components, refs = [], []
    for name in sorted(os.listdir(stage)):
        if name == 'Cadenzo.exe':
            continue
        ident = 'File_' + re.sub(r'[^A-Za-z0-9_.]', '_', name)
        components.append(
            f'  <Component Id="{ident}" Guid="{code("component", arch, name)}" Win64="{win64}">\n'
            f'    <File Id="{ident}" Name={quoteattr(name)} '
            f'Source={quoteattr("files/" + name)} KeyPath="yes"/>\n'
            '  </Component>\n')
        refs.append(f'  <ComponentRef Id="{ident}"/>\n')
    head = '<?xml version="1.0" encoding="utf-8"?>\n<Include>\n'
    return {'Files.wxi': head + ''.join(components) + '</Include>\n',
            'FileRefs.wxi': head + ''.join(refs) + '</Include>\n'}


class CompoundFile:
    """Where each byte of a stream lies in a compound file (the container of an MSI)."""

    def __init__(self, data):
        self.data = data
        self.shift, self.mini_shift = struct.unpack_from('<HH', data, 0x1E)
        fat_count, self.directory = struct.unpack_from('<II', data, 0x2C)
        self.cutoff, self.minifat_start = struct.unpack_from('<II', data, 0x38)
        difat_start, difat_count = struct.unpack_from('<II', data, 0x44)
        difat = list(struct.unpack_from('<109I', data, 0x4C))
        per_sector = (1 << self.shift) // 4
        for _ in range(difat_count):
            at = self.sector(difat_start)
            entries = struct.unpack_from(f'<{per_sector}I', data, at)
            difat += entries[:-1]
            difat_start = entries[-1]
        self.fat = []
        for sector in difat[:fat_count]:
            self.fat += struct.unpack_from(f'<{per_sector}I', data, self.sector(sector))
        self.minifat = []
        for sector in self.chain(self.minifat_start):
            self.minifat += struct.unpack_from(f'<{per_sector}I', data, self.sector(sector))

    def sector(self, number):
        return (number + 1) << self.shift

    def chain(self, start):
        sectors = []
        while start < 0xFFFFFFFA:
            sectors.append(start)
            start = self.fat[start]
        return sectors

    def entries(self):
        for sector in self.chain(self.directory):
            for at in range(self.sector(sector), self.sector(sector) + (1 << self.shift), 128):
                length, kind = struct.unpack_from('<HB', self.data, at + 0x40)
                name = self.data[at:at + max(length - 2, 0)].decode('utf-16-le')
                start, size = struct.unpack_from('<II', self.data, at + 0x74)
                yield name, kind, start, size

    def offsets(self, wanted):
        """The file offset of each byte of stream `wanted`."""
        entries = list(self.entries())
        root_start = entries[0][2]
        for name, kind, start, size in entries:
            if kind != 2 or name != wanted:
                continue
            if size >= self.cutoff:
                step, places = 1 << self.shift, [self.sector(s) for s in self.chain(start)]
            else:
                mini = 1 << self.mini_shift
                container = [self.sector(s) for s in self.chain(root_start)]
                big = 1 << self.shift
                step, places = mini, []
                while start < 0xFFFFFFFA:
                    at = start * mini
                    places.append(container[at // big] + at % big)
                    start = self.minifat[start]
            return [places[i // step] + i % step for i in range(size)]
        raise KeyError(wanted)


def sql(msi, query):
    subprocess.run(['msibuild', msi, '-q', query], check=True)


def include_own_version(msi):
    """An upgrade replaces a version of the same number too ("0.98 beta" by "0.98"): the row
    that finds the older versions includes its maximum, this version's number. The attributes
    are part of the row's key, so the row is written anew."""
    table = subprocess.run(['msiinfo', 'export', msi, 'Upgrade'], check=True,
                           capture_output=True, text=True).stdout.splitlines()
    columns = table[0].split('\t')
    for line in table[3:]:
        row = dict(zip(columns, line.split('\t')))
        if row['ActionProperty'] != 'WIX_UPGRADE_DETECTED':
            continue
        if row['VersionMin'] or row['Language'] or row['Remove']:
            raise SystemExit(f'{msi}: an upgrade row of another form: {line}')
        sql(msi, "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'")
        sql(msi, 'INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, '
                 f"`ActionProperty`) VALUES ('{row['UpgradeCode']}', '{row['VersionMax']}', "
                 f"{int(row['Attributes']) | MAX_INCLUSIVE}, 'WIX_UPGRADE_DETECTED')")
        return
    raise SystemExit(f'{msi}: no upgrade row for older versions')


def filetime(epoch):
    return (epoch + 11644473600) * 10000000


def fix_summary(path, package_code, epoch):
    """Writes the package code and the dates into the summary information of MSI `path`."""
    data = bytearray(open(path, 'rb').read())
    places = CompoundFile(bytes(data)).offsets(SUMMARY)
    stream = bytearray(data[p] for p in places)
    section = struct.unpack_from('<I', stream, 44)[0]
    count = struct.unpack_from('<I', stream, section + 4)[0]
    found = set()
    for i in range(count):
        pid, offset = struct.unpack_from('<II', stream, section + 8 + 8 * i)
        at = section + offset
        kind = struct.unpack_from('<I', stream, at)[0]
        if pid == PID_REVNUMBER and kind == VT_LPSTR:
            text = ('{' + package_code + '}').encode('ascii') + b'\0'
            if struct.unpack_from('<I', stream, at + 4)[0] != len(text):
                raise SystemExit(f'{path}: the package code has another size')
            stream[at + 8:at + 8 + len(text)] = text
        elif pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM) and kind == VT_FILETIME:
            struct.pack_into('<Q', stream, at + 4, filetime(epoch))
        else:
            continue
        found.add(pid)
    if found != {PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM}:
        raise SystemExit(f'{path}: the summary information lacks the package code or a date')
    for place, byte in zip(places, stream):
        data[place] = byte
    with open(path, 'wb') as out:
        out.write(data)


def main(arch, stage, setup, version_nsh, icon, msi):
    if arch not in ('x64', 'x86'):
        raise SystemExit(f'architecture {arch}: x64 or x86')
    stage, setup, icon = (os.path.abspath(p) for p in (stage, setup, icon))
    version = version_defines(version_nsh)
    epoch = max(int(os.environ.get('SOURCE_DATE_EPOCH', EARLIEST)), EARLIEST)
    with tempfile.TemporaryDirectory() as work:
        for name, text in files_fragments(arch, stage).items():
            with open(os.path.join(work, name), 'w', encoding='utf-8') as out:
                out.write(text)
        # wixl finds sources only by names relative to the wxs.
        shutil.copy(WXS, work)
        shutil.copytree(stage, os.path.join(work, 'files'))
        shutil.copy(setup, os.path.join(work, 'CadenzoSetup.dll'))
        shutil.copy(icon, os.path.join(work, 'Cadenzo.ico'))
        defines = {
            'Arch': arch,
            'ProductCode': code('product', version['VERSION_TEXT'], arch),
            'Name': version['PRODUCT_NAME'],
            'Version': version['VERSION_TEXT'],
            'VersionNumber': version['VERSION_NUMBER'],
            'Publisher': version['PUBLISHER'],
        }
        built = os.path.join(work, 'Cadenzo.msi')
        command = ['wixl', '-a', arch, '-o', built]
        for name, value in defines.items():
            command += ['-D', f'{name}={value}']
        subprocess.run(command + ['Cadenzo.wxs'], check=True, cwd=work)
        # The Event Log source's message file: "#%" makes the value a REG_EXPAND_SZ.
        sql(built, "UPDATE `Registry` SET `Value` = '#%[#CadenzoExe]' "
                   "WHERE `Name` = 'EventMessageFile'")
        include_own_version(built)
        # The package code changes with anything that goes into the package or makes it,
        # wherever the files lay when it was built.
        content = hashlib.sha256()
        for name in ('Arch', 'ProductCode', 'Name', 'Version', 'VersionNumber', 'Publisher'):
            content.update(f'{name}={defines[name]}\n'.encode())
        parts = [WXS, os.path.abspath(__file__), setup, icon]
        parts += [os.path.join(stage, name) for name in sorted(os.listdir(stage))]
        for part in parts:
            content.update(os.path.basename(part).encode() + b'\n' + open(part, 'rb').read())
        fix_summary(built, code('package', content.hexdigest()), epoch)
        shutil.move(built, msi)


if __name__ == '__main__':
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
