#!/usr/bin/env python3
"""Draws Cadenzo's icon: a monitor whose screen shows a rising refresh wave.

Writes a Windows .ico with 16x16, 32x32 and 48x48 images in 32-bit colour with alpha, and the
24x24 picture of the About box in the 16 colours of the standard palette.
Run: python3 tools/make-icon.py app/res/Cadenzo.ico
"""
import math
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    rect(2, 4, 30, 24, (40, 40, 48, 255))       # bezel
    rect(4, 6, 28, 22, (16, 64, 128, 255))      # screen
    rect(13, 24, 19, 27, (40, 40, 48, 255))     # neck
    rect(8, 27, 24, 29, (40, 40, 48, 255))      # foot
    # A wave whose period shortens from left to right: the rate going up.
    prev = None
    for xi in range(int(4 * s), int(28 * s)):
        t = (xi / s - 4) / 24.0
        y = int((14 - 5 * math.sin(2 * math.pi * (1.2 * t + 1.6 * t * t))) * s)
        top, bottom = (y, y) if prev is None else (min(prev, y), max(prev, y))
        for yy in range(top, bottom + max(1, int(s))):
            if int(6 * s) <= yy < int(22 * s):
                px[yy][xi] = (255, 200, 40, 255)
        prev = y
    return px


def bmp_entry(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in reversed(range(size)):
        for r, g, b, a in px[y]:
            rows += bytes((b, g, r, a))
    return header + rows + mask_bits(px, size)


# The 16 colours every display can show (the VGA palette), as Windows orders them.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def nearest(r, g, b):
    return min(range(16), key=lambda i: sum((c - p) ** 2 for c, p in
                                              zip((r, g, b), PALETTE16[i])))


def mask_bits(px, size):
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for y in reversed(range(size)):
        row = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return mask


def bmp_entry_16(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
    row_bytes = ((size * 4 + 31) // 32) * 4
    rows = b''
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            r, g, b, a = px[y][x]
            index = nearest(r, g, b) if a else 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows += bytes(row)
    return header + palette + rows + mask_bits(px, size)


def main(path):
    entries = [(n, 32, bmp_entry(n)) for n in (16, 32, 48)] + [(24, 4, bmp_entry_16(24))]
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for n, bits, data in entries:
        colours = 16 if bits == 4 else 0
        out += struct.pack('<BBBBHHII', n, n, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    images = [data for _, _, data in entries]
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
