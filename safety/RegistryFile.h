#pragma once
// A file of the system's registry editor (an export, a backup) read as what it holds: its keys,
// each with the values an import writes or deletes there. Windows NT's and Wine's editor write
// "Windows Registry Editor Version 5.00" in UTF-16LE after a byte-order mark, Windows 9x's (and
// "regedit /a") "REGEDIT4" in ANSI:
//
//   [HKEY_LOCAL_MACHINE\System\...\0000]         a key, created by an import
//   "Name"="text"                                REG_SZ; \\, \" and \n escaped
//   "Name"=dword:0000000a                        REG_DWORD
//   "Name"=hex:01,02,\                           REG_BINARY, continued on the next line
//     03                                         after blanks
//   "Name"=hex(7):41,00,00,00                    any other type by its number
//   @="text"                                     the key's default value
//   "Name"=-                                     the value is deleted
//   [-HKEY_LOCAL_MACHINE\...]                    the key is deleted with all below it
//
// Lines starting with ';' are remarks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RegistryFileValue {
    // "" for the key's default value. Text beyond ASCII is UTF-8 in a UTF-16 file and the
    // system's ANSI code page in an ANSI one.
    std::string name;
    bool deleted = false;  // "name"=-
    std::uint32_t type = 0;
    // As the editor stores it: a string written in quotes with its terminator, in UTF-16LE
    // under the version 5 header (as Windows NT keeps strings) and in single bytes under
    // REGEDIT4; hexadecimal data byte for byte.
    std::vector<std::uint8_t> data;
};

struct RegistryFileSection {
    std::string key;  // as written between the brackets, its root first ("HKEY_LOCAL_MACHINE\...")
    bool deleted = false;  // [-key]
    std::vector<RegistryFileValue> values;
};

struct RegistryFile {
    bool version5 = false;  // "Windows Registry Editor Version 5.00"; else "REGEDIT4"
    std::vector<RegistryFileSection> sections;  // in the file's order
};

// The file's contents, or nothing when it is not a registry file this reader can follow to
// the last line: a header of neither kind, a line that is no section, value, remark or blank,
// a value before the first section, data that is not what its type says, UTF-16 of an odd
// number of bytes.
std::optional<RegistryFile> ReadRegistryFile(const std::string& bytes);
