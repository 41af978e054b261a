#!/usr/bin/env python3
"""The card database generator on a small PCI ID excerpt, and the ati.pci the build made.

Run: python3 tests/unit/make-ati-pci-test.py build/native/ati.pci
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

GENERATOR = os.path.join(os.path.dirname(__file__), '..', '..', 'tools', 'make-ati-pci.py')
BUILT = sys.argv.pop(1) if len(sys.argv) > 1 else 'build/native/ati.pci'

EXCERPT = '''#
#\tList of PCI ID's
#
#\tVersion: 2099.01.02
#\tDate:    2099-01-02 03:04:05
#
#\tThis file can be distributed under either the GNU General Public License
#\t(version 2 or higher) or the 3-clause BSD License.
#

# Syntax:
# vendor  vendor_name
1002  Advanced Micro Devices, Inc. [AMD/ATI]
\t4e44  R300 [Radeon 9700/9700 PRO]
\t\t1002 515e  Radeon ES1000
\t4e45  R300 [Radeon 9500 PRO/9700]
\t\t1681 0002  Hercules 3D Prophet 9500 PRO [Radeon 9500 Pro]
\t\t1002 0002  Radeon R300 NE [Radeon 9500 Pro]
# boards of a maker the database does not know
\t\t9999 0003  Board of an unknown maker
\t\t174b 7c13  Radeon 9500 \u03a9mega Edici\u00f3n \u0151 \u2122
\t4e46  D\u00e9j\u00e0 vu
1681  Hercules
174b  PC Partner Limited / Sapphire Technology
1462  Micro-Star International Co., Ltd. [MSI]
10de  NVIDIA Corporation
\t0020  NV4 [Riva TNT]
\t\t1002 0001  Not an ATI chip
C 00  Unclassified device
\t00  Non-VGA unclassified device
'''


def generate(pci_ids):
    with tempfile.TemporaryDirectory() as work:
        source, target = os.path.join(work, 'pci.ids'), os.path.join(work, 'ati.pci')
        with open(source, 'w', encoding='utf-8') as f:
            f.write(pci_ids)
        subprocess.run([sys.executable, GENERATOR, source, target], check=True)
        with open(target, 'rb') as f:
            return f.read()


def lines_of(data):
    lines = data.split(b'\r\n')
    assert lines.pop() == b'', 'the last line ends with CR LF too'
    return [line.decode('cp1252') for line in lines]


class GeneratorTest(unittest.TestCase):
    def test_blocks_of_an_excerpt(self):
        lines = lines_of(generate(EXCERPT))
        records = [line for line in lines if not line.startswith(';')]
        self.assertEqual([
            'D 4E44 R300 [Radeon 9700/9700 PRO]',
            'O 1002 Advanced Micro Devices R300 [Radeon 9700/9700 PRO]',
            'S 515E Advanced Micro Devices Radeon ES1000',
            'D 4E45 R300 [Radeon 9500 PRO/9700]',
            # Two makers' boards share 0002: no "S" record, which would name both; the
            # makers' records tell them apart.
            'O 1002 Advanced Micro Devices R300 [Radeon 9500 PRO/9700]',
            'O 1681 Hercules R300 [Radeon 9500 PRO/9700]',
            'O 174B Sapphire Technology R300 [Radeon 9500 PRO/9700]',
            'S 0003 Board of an unknown maker',
            'S 7C13 Sapphire Technology Radeon 9500 ?mega Edici\u00f3n o \u2122',
            'D 4E46 D\u00e9j\u00e0 vu',
        ], records)

    def test_licence_and_version_in_comments(self):
        lines = lines_of(generate(EXCERPT))
        self.assertEqual(';', lines[0])
        self.assertIn('; Version: 2099.01.02', lines)
        self.assertIn('; Date:    2099-01-02 03:04:05', lines)
        self.assertIn('; (version 2 or higher) or the 3-clause BSD License.', lines)
        self.assertNotIn('; Syntax:', lines)


class BuiltDatabaseTest(unittest.TestCase):
    def test_records_and_blocks(self):
        with open(BUILT, 'rb') as f:
            data = f.read()
        self.assertNotRegex(data, rb'\r(?!\n)|(?<!\r)\n')
        lines = lines_of(data)  # fails on bytes that are no Windows-1252 characters
        self.assertTrue(any('GNU General Public License' in line for line in lines[:30]))
        self.assertTrue(any('3-clause BSD License' in line for line in lines[:30]))
        blocks = {}
        kinds = []
        for line in lines:
            if line.startswith(';'):
                continue
            self.assertRegex(line, r'^[DOS] [0-9A-F]{4} \S')
            kind, ident, name = line[0], line[2:6], line[7:]
            if kind == 'D':
                self.assertNotIn(ident, blocks)
                block = blocks[ident] = []
                kinds = []
            else:
                # In a block the makers come first, and no two boards share a number.
                self.assertFalse(kind == 'O' and 'S' in kinds, line)
                self.assertNotIn((kind, ident), [(k, i) for k, i, _ in block], line)
                kinds.append(kind)
            block.append((kind, ident, name))
        counts = {k: sum(line.startswith(k + ' ') for line in lines) for k in 'DOS'}
        self.assertGreater(counts['D'], 500)

        # The demo card, PCI\VEN_1002&DEV_4E44&SUBSYS_00021002: its maker's or its board's
        # name if the block has one, else the chip's.
        block = blocks['4E44']
        matches = [name for kind, ident, name in block
                   if (kind, ident) in (('D', '4E44'), ('O', '1002'), ('S', '0002'))]
        self.assertTrue(matches[-1])
        print('\n%s: %d bytes, %d D, %d O, %d S; the demo card is "%s"'
              % (BUILT, len(data), counts['D'], counts['O'], counts['S'], matches[-1]),
              file=sys.stderr)


if __name__ == '__main__':
    unittest.main()
