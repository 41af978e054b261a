#!/usr/bin/python3
"""A restart hook of the rig: the display driver is updated during the restart.

    CADENZO_RIG_RESTART_HOOK="/usr/bin/python3 tests/rig/driver-update.py" rig.sh restart

The hook is called as `driver-update.py CARRY CURRENT_CONF NEXT_CONF`. An update installs the
driver anew: its key comes back with the driver's defaults, whatever a tool wrote there before.
So the driver key in CARRY gets the values of the demo profile's driver key again (those of its
"ddhal" subkey too), without any restriction list ("DALRestrictedModesBCD" and its siblings),
without the values only a tool writes (the switch "DisableLCD" the profile lacks), and with a
newer "DriverVersion" and "DriverDate". Values Wine keeps in the key stay. Nothing being
refused any more, NEXT_CONF is removed: X comes up with every configured mode.
"""

import os
import re
import sys

NEW_VERSION = "6.14.10.6558"
NEW_DATE = "9-7-2005"
PROFILE = os.environ.get("CADENZO_RIG_PROFILE") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "demo-driver.reg")
WRITTEN_BY_TOOLS = {"disablelcd"}
VALUE = re.compile(r'^"((?:[^"\\]|\\.)*)"=(.*)$')


def string_data(text):
    return (text + "\0").encode("utf-16-le").hex()


def parse_value(data):
    """(type, hex) of a REGEDIT4 value's data."""
    if data.startswith('"'):
        return 1, string_data(data[1:-1].replace('\\"', '"').replace("\\\\", "\\"))
    if data.startswith("dword:"):
        return 4, int(data[6:], 16).to_bytes(4, "little").hex()
    found = re.match(r"hex(?:\((\w+)\))?:(.*)$", data)
    if found:
        kind = int(found.group(1), 16) if found.group(1) else 3
        return kind, found.group(2).replace(",", "").strip()
    raise ValueError(f"{PROFILE}: cannot read {data}")


def profile_values():
    """{subkey: [(name, type, hex)]} of the profile's driver key and its subkeys."""
    values, subkey = {}, None
    with open(PROFILE, encoding="utf-8") as profile:
        for line in profile.read().splitlines():
            line = line.rstrip("\r")
            section = re.match(r"^\[HKEY_LOCAL_MACHINE\\@DRIVER_KEY@(?:\\(.*))?\]$", line)
            if section:
                subkey = section.group(1) or ""
                values.setdefault(subkey, [])
            elif line.startswith("["):
                subkey = None
            elif subkey is not None:
                found = VALUE.match(line)
                if found:
                    values[subkey].append((found.group(1), *parse_value(found.group(2))))
    return values


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 64
    carry_path, _, next_conf = argv[1:]
    defaults = profile_values()
    defaults[""] = [v for v in defaults[""] if not v[0].lower().startswith("dalrestrictedmodesbcd")]
    defaults[""] += [("DriverVersion", 1, string_data(NEW_VERSION)),
                     ("DriverDate", 1, string_data(NEW_DATE))]
    replaced = {k: {v[0].lower() for v in vs} | WRITTEN_BY_TOOLS | {"dalrestrictedmodesbcd",
                "dalrestrictedmodesbcd1", "dalrestrictedmodesbcd2", "dalrestrictedmodesbcd3"}
                for k, vs in defaults.items()}
    with open(carry_path, encoding="utf-8") as carry:
        lines = carry.read().splitlines()
    out, subkey = [lines[0]], None
    written = set()

    def add_defaults(key):
        if key in defaults and key not in written:
            out.extend(f"value\t{kind}\t{data}\t{name}" for name, kind, data in defaults[key])
            written.add(key)

    for line in lines[1:]:
        fields = line.split("\t")
        if fields[0] == "key":
            if subkey is not None:
                add_defaults(subkey)
            subkey = fields[1] if len(fields) > 1 else ""
            out.append(line)
        elif fields[0] == "value" and subkey in replaced and fields[-1].lower() in replaced[subkey]:
            continue
        else:
            out.append(line)
    if subkey is not None:
        add_defaults(subkey)
    for key in defaults:
        if key not in written:
            out.append(f"key\t{key}")
            add_defaults(key)
    with open(carry_path, "w", encoding="utf-8") as carry:
        carry.write("\n".join(out) + "\n")
    if os.path.exists(next_conf):
        os.remove(next_conf)
    print(f"driver update: driver key as installed, DriverVersion {NEW_VERSION}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
