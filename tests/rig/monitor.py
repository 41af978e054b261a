#!/usr/bin/python3
"""The rig's monitor: whether the mode in force is one it can show.

    monitor.py hex EDID_FILE              the EDID's 128 bytes as one hex string
    monitor.py dark EDID_FILE CONF MODE   prints why the screen is dark; exit 0 when it is,
                                          1 when the monitor shows MODE

EDID_FILE is one of tests/data/edid/monitors: a hex dump after the first line, then the
decoding. A monitor shows a mode while the mode's real timing (its Modeline in CONF: the pixel
clock over the totals) stays within the range limits of the EDID's 0xFD descriptor, the
EDID 1.4 "+255" flags included. A monitor without that descriptor shows everything.
"""

import re
import sys


def edid_bytes(path):
    """The base block: the hex lines from the third line to the first line that is not hex."""
    data = bytearray()
    with open(path, encoding="utf-8") as edid:
        for line in edid.read().splitlines()[2:]:
            if not re.fullmatch(r"(?:[0-9a-fA-F]{2} ?)+", line.strip()):
                break
            data += bytes.fromhex(line)
    if len(data) < 128:
        raise ValueError(f"{path}: fewer than 128 bytes of EDID")
    return bytes(data[:128])


def range_limits(edid):
    """(vmin, vmax, hmin kHz, hmax kHz, max pixel clock MHz) or None."""
    for start in range(54, 126, 18):
        d = edid[start : start + 18]
        if d[0] == 0 and d[1] == 0 and d[3] == 0xFD:
            flags = d[4]
            vmin = d[5] + (255 if flags & 0x03 == 0x03 else 0)
            vmax = d[6] + (255 if flags & 0x02 else 0)
            hmin = d[7] + (255 if flags & 0x0C == 0x0C else 0)
            hmax = d[8] + (255 if flags & 0x08 else 0)
            return vmin, vmax, hmin, hmax, d[9] * 10
    return None


def timing(conf_path, mode):
    """(pixel clock MHz, line rate kHz, refresh Hz) of the Modeline named MODE."""
    pattern = re.compile(r'^\s*Modeline\s+"' + re.escape(mode) + r'"\s+(.*)$', re.IGNORECASE)
    with open(conf_path, encoding="utf-8") as conf:
        for line in conf:
            found = pattern.match(line)
            if found:
                fields = found.group(1).split()
                clock, htotal, vtotal = float(fields[0]), int(fields[4]), int(fields[8])
                return clock, clock * 1000 / htotal, clock * 1e6 / (htotal * vtotal)
    raise ValueError(f"{conf_path}: no Modeline {mode}")


def main(argv):
    if len(argv) == 3 and argv[1] == "hex":
        print(edid_bytes(argv[2]).hex())
        return 0
    if len(argv) != 5 or argv[1] != "dark":
        print(__doc__, file=sys.stderr)
        return 64
    limits = range_limits(edid_bytes(argv[2]))
    if limits is None:
        return 1
    vmin, vmax, hmin, hmax, clock_max = limits
    clock, line_rate, refresh = timing(argv[3], argv[4])
    reasons = []
    if not vmin - 0.5 <= refresh <= vmax + 0.5:
        reasons.append(f"{refresh:.1f} Hz, the monitor takes {vmin}-{vmax} Hz")
    if not hmin - 0.5 <= line_rate <= hmax + 0.5:
        reasons.append(f"{line_rate:.1f} kHz, the monitor takes {hmin}-{hmax} kHz")
    if clock > clock_max:
        reasons.append(f"{clock:.1f} MHz, the monitor takes up to {clock_max} MHz")
    if not reasons:
        return 1
    print(f"{argv[4]} needs " + "; ".join(reasons))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
