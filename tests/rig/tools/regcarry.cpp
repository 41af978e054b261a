// regcarry: saves a registry key (with its subkeys) under HKEY_LOCAL_MACHINE
// to a text file and loads it back, byte for byte. The test rig carries the
// display driver's key across a simulated restart with it.
//
//   regcarry save KEY FILE
//   regcarry load KEY FILE
//
// KEY is relative to HKEY_LOCAL_MACHINE; "@driver" stands for the driver key
// of display adapter 0 (its DeviceKey without the "\Registry\Machine\"
// prefix).
//
// Why not regedit /e and /s: the round trip is not exact. Wine's regedit
// export drops the last character of a REG_SZ stored without a terminating
// NUL and cuts a REG_DWORD longer than four bytes; its import adds a NUL to
// every string, an empty one included. A restart of Windows keeps the stored
// bytes exactly, and so does this.
//
// File format (UTF-8 text, tab separated, one record a line):
//   regcarry 1
//   key    SUBPATH                 relative to KEY, empty for KEY itself
//   value  TYPE  HEXDATA  NAME     TYPE in decimal, data as stored (strings
//                                  as UTF-16LE), NAME last and may be empty
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kMachinePrefix[] = "\\Registry\\Machine\\";

std::string ToUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

bool ResolveKey(const std::string& arg, std::wstring& key) {
    if (arg != "@driver") {
        key = FromUtf8(arg);
        return true;
    }
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;
    const size_t prefix = std::strlen(kMachinePrefix);
    if (!EnumDisplayDevicesA(nullptr, 0, &dd, 0) ||
        _strnicmp(dd.DeviceKey, kMachinePrefix, prefix) != 0) {
        std::fprintf(stderr, "regcarry: no driver key for display adapter 0\n");
        return false;
    }
    key = FromUtf8(dd.DeviceKey + prefix);
    return true;
}

// Names that would break the line format are not expected in a driver key.
bool PrintableName(const std::wstring& name) {
    return name.find_first_of(L"\t\r\n") == std::wstring::npos;
}

bool SaveKey(HKEY root, const std::wstring& sub, FILE* out) {
    HKEY key;
    if (RegOpenKeyExW(root, sub.empty() ? nullptr : sub.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    std::fprintf(out, "key\t%s\n", ToUtf8(sub).c_str());

    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                     &maxData, nullptr, nullptr);
    std::vector<wchar_t> name(maxName + 1);
    std::vector<BYTE> data(maxData + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = static_cast<DWORD>(name.size());
        DWORD dataLen = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG r =
            RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
        if (r != ERROR_SUCCESS) break;
        std::wstring valueName(name.data(), nameLen);
        // Wine leaves a link marker in the key after it rebuilds its display
        // keys; it is Wine's bookkeeping, not the driver's.
        if (type == REG_LINK) continue;
        if (!PrintableName(valueName)) {
            std::fprintf(stderr, "regcarry: skipping a value whose name has a tab or newline\n");
            continue;
        }
        std::fprintf(out, "value\t%lu\t", static_cast<unsigned long>(type));
        for (DWORD b = 0; b < dataLen; ++b)
            std::fprintf(out, "%02x", data[b]);
        std::fprintf(out, "\t%s\n", ToUtf8(valueName).c_str());
    }

    std::vector<std::wstring> children;
    std::vector<wchar_t> child(256);
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(child.size());
        if (RegEnumKeyExW(key, i, child.data(), &len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(child.data(), len);
    }
    RegCloseKey(key);
    for (const auto& c : children) {
        if (!SaveKey(root, sub.empty() ? c : sub + L"\\" + c, out)) return false;
    }
    return true;
}

int Save(const std::wstring& keyPath, const char* file) {
    HKEY root;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &root) != ERROR_SUCCESS) {
        std::fprintf(stderr, "regcarry: cannot open HKLM\\%s\n", ToUtf8(keyPath).c_str());
        return 1;
    }
    // Written aside and renamed, so that whoever waits for FILE never reads
    // it half-written.
    const std::string part = std::string(file) + ".part";
    FILE* out = std::fopen(part.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "regcarry: cannot write %s\n", part.c_str());
        RegCloseKey(root);
        return 1;
    }
    std::fprintf(out, "regcarry 1\n");
    bool ok = SaveKey(root, L"", out);
    RegCloseKey(root);
    ok = std::fclose(out) == 0 && ok;
    ok = ok && MoveFileExA(part.c_str(), file, MOVEFILE_REPLACE_EXISTING);
    if (!ok) std::remove(part.c_str());
    return ok ? 0 : 1;
}

int HexNibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const std::string& hex, std::vector<BYTE>& out) {
    if (hex.size() % 2) return false;
    out.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexNibble(hex[i]), lo = HexNibble(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<BYTE>(hi * 16 + lo));
    }
    return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// RegSetValueExW adds a terminator to a string whose last character is not
// NUL when the character after the data is NUL (Windows NT does this, and
// Wine copies it). A non-NUL guard after the data keeps the bytes exact.
LONG SetExact(HKEY key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    std::vector<BYTE> guarded(data);
    guarded.push_back(0xFF);
    guarded.push_back(0xFF);
    guarded.push_back(0xFF);
    return RegSetValueExW(key, name.c_str(), 0, type, guarded.data(),
                          static_cast<DWORD>(data.size()));
}

int Load(const std::wstring& keyPath, const char* file) {
    FILE* in = std::fopen(file, "rb");
    if (!in) {
        std::fprintf(stderr, "regcarry: cannot read %s\n", file);
        return 1;
    }
    std::string line;
    HKEY current = nullptr;
    int lineNo = 0, failures = 0;
    for (int c;;) {
        line.clear();
        while ((c = std::fgetc(in)) != EOF && c != '\n')
            line.push_back(static_cast<char>(c));
        if (c == EOF && line.empty()) break;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f = SplitTabs(line);
        if (lineNo == 1) {
            if (line != "regcarry 1") {
                std::fprintf(stderr, "regcarry: %s is not a regcarry file\n", file);
                std::fclose(in);
                return 1;
            }
        } else if (f[0] == "key" && f.size() == 2) {
            if (current) RegCloseKey(current);
            current = nullptr;
            std::wstring path = keyPath;
            if (!f[1].empty()) path += L"\\" + FromUtf8(f[1]);
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &current, nullptr) != ERROR_SUCCESS) {
                std::fprintf(stderr, "regcarry: cannot create HKLM\\%s\n", ToUtf8(path).c_str());
                current = nullptr;
                ++failures;
            }
        } else if (f[0] == "value" && f.size() == 4) {
            std::vector<BYTE> data;
            if (!current || !ParseHex(f[2], data) ||
                SetExact(current, FromUtf8(f[3]), std::strtoul(f[1].c_str(), nullptr, 10), data) !=
                    ERROR_SUCCESS) {
                std::fprintf(stderr, "regcarry: line %d not loaded\n", lineNo);
                ++failures;
            }
        } else if (!line.empty()) {
            std::fprintf(stderr, "regcarry: line %d not understood\n", lineNo);
            ++failures;
        }
        if (c == EOF) break;
    }
    if (current) RegCloseKey(current);
    std::fclose(in);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: regcarry save|load KEY|@driver FILE\n");
        return 64;
    }
    std::wstring key;
    if (!ResolveKey(argv[2], key)) return 1;
    if (std::strcmp(argv[1], "save") == 0) return Save(key, argv[3]);
    if (std::strcmp(argv[1], "load") == 0) return Load(key, argv[3]);
    std::fprintf(stderr, "usage: regcarry save|load KEY|@driver FILE\n");
    return 64;
}
