#include "platform/fake/FakeRegedit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/CaseFold.h"
#include "platform/CommandLine.h"

namespace platform {
namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";
constexpr char kHeader[] = "Windows Registry Editor Version 5.00";
constexpr char kAnsiHeader[] = "REGEDIT4";
constexpr char kByteOrderMark[] = "\xFF\xFE";

bool UnderRoot(const std::string& key) { return StartsIgnoringCase(key, kRoot); }

// A value's name or text in quotes, with the editor's escapes.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out + "\"";
}

// Bytes as the editor writes them: two digits each, separated by commas, a line that would grow
// beyond 80 characters continued on the next after a backslash and two blanks. `column` is
// where the data starts on its line.
std::string HexList(const std::vector<std::uint8_t>& bytes, std::size_t column) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
        if (i + 1 == bytes.size()) break;
        out += ',';
        column += 3;
        if (column >= 77) {
            out += "\\\r\n  ";
            column = 2;
        }
    }
    return out;
}

// Each byte of a string value as one UTF-16LE unit, as a Unicode export holds REG_EXPAND_SZ
// and REG_MULTI_SZ data.
std::vector<std::uint8_t> WideBytes(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> wide;
    for (std::uint8_t b : bytes)
        wide.insert(wide.end(), {b, 0});
    return wide;
}

bool IsStringType(std::uint32_t type) {
    return type == RegSz || type == RegExpandSz || type == RegMultiSz;
}

// One value's line: "name"=data (@=data for the key's default value).
std::string ValueLine(const std::string& name, const RegValue& v, bool ansi) {
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    const std::vector<std::uint8_t>& d = v.data;
    // A string with its one terminator is written as text; any other as bytes, which give it
    // back as it is.
    if (v.type == RegSz && !d.empty() && d.back() == 0 &&
        std::find(d.begin(), d.end() - 1, 0) == d.end() - 1)
        return line + Quoted(std::string(d.begin(), d.end() - 1));
    if (v.type == RegDword && d.size() == 4) {
        char number[9];
        std::snprintf(number, sizeof number, "%08x",
                      static_cast<unsigned>(d[0] | d[1] << 8 | d[2] << 16 |
                                            static_cast<std::uint32_t>(d[3]) << 24));
        return line + "dword:" + number;
    }
    if (v.type == RegBinary) {
        line += "hex:";
    } else {
        std::ostringstream type;
        type << "hex(" << std::hex << v.type << "):";
        line += type.str();
    }
    return line + HexList(IsStringType(v.type) && !ansi ? WideBytes(d) : d, line.size());
}

// The text of a quoted name or string starting at `at`, without its escapes; `at` moves past
// the closing quote.
std::string Unquoted(const std::string& line, std::size_t& at) {
    std::string text;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\' || at + 1 == line.size()) {
            text += line[at];
            continue;
        }
        char c = line[++at];
        text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
    }
    ++at;
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::uint32_t HexNumber(const std::string& digits) {
    return static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

std::vector<std::uint8_t> Unhex(const std::string& list) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < list.size(); i += 3)
        bytes.push_back(static_cast<std::uint8_t>(HexNumber(list.substr(i, 2))));
    return bytes;
}

// Each ANSI byte as one UTF-16LE unit, as Latin-1 would be; Text() undoes it byte for byte.
std::string Widen(const std::string& text) {
    std::string wide = kByteOrderMark;
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

}  // namespace

FakeRegedit::FakeRegedit(FakeWindows& win) : win_(win) {
    win_.shell.onStart = [this](const Launch& launch) { return Run(launch); };
    win_.shell.onPause = [this] { WriteHandedOff(); };
}

void FakeRegedit::WriteHandedOff() {
    if (importHandedOff_ && ++importPauses_ >= handsOffFor) {
        Import(*importHandedOff_);
        importHandedOff_.reset();
    }
    if (!handedOff_) return;
    HandedOff& job = *handedOff_;
    ++job.pauses;
    // Each pause one more equal part.
    std::size_t size = job.bytes.size() * std::min(job.pauses, handsOffFor) / handsOffFor;
    win_.files.WriteAll(job.path, job.bytes.substr(0, size));
    if (job.pauses < handsOffFor) return;
    if (job.whole) exported.push_back(win_.files.FullPath(job.path));
    handedOff_.reset();
}

std::string FakeRegedit::Text(const std::string& fileBytes) {
    if (fileBytes.compare(0, 2, kByteOrderMark) != 0) return fileBytes;
    std::string text;
    for (std::size_t i = 2; i + 1 < fileBytes.size(); i += 2)
        text += fileBytes[i];
    return text;
}

LaunchResult FakeRegedit::Run(const Launch& launch) {
    if (!SameIgnoringCase(launch.file, "regedit.exe")) return {true, true, 0};
    if (notInstalled) return {false, false, 0};
    std::vector<std::string> args = platform::CommandLineWords(launch.parameters);
    if (args.size() == 3 && args[0] == "/e") Export(args[1], args[2]);
    if (args.size() == 2 && args[0] == "/s" && !hangs && !importsNothing) {
        if (handsOffFor > 0) {
            importHandedOff_ = args[1];
            importPauses_ = 0;
        } else {
            Import(args[1]);
        }
    }
    if (programEndsWhileWaiting) throw ProcessEnded{1};
    if (hangs) return {true, false, 0};
    return {true, true, exitCode};
}

std::string FakeRegedit::ExportText(const std::string& keyPath) const {
    std::ostringstream out;
    out << (ansi ? kAnsiHeader : kHeader) << "\r\n";
    std::vector<std::string> keys{keyPath};
    for (const std::string& sub : win_.registry.SubkeyPaths(keyPath))
        keys.push_back(sub);
    for (const std::string& k : keys) {
        out << "\r\n[" << kRoot << k << "]\r\n";
        for (const std::string& name : win_.registry.ValueNames(k))
            out << ValueLine(name, *win_.registry.Value(k, name), ansi) << "\r\n";
    }
    out << "\r\n";
    return ansi ? out.str() : Widen(out.str());
}

void FakeRegedit::Export(const std::string& path, const std::string& key) {
    if (exportsFail) return;
    std::string bytes;
    if (writesInstead) {
        bytes = *writesInstead;
    } else if (UnderRoot(key) && win_.registry.KeyExists(key.substr(sizeof kRoot - 1))) {
        bytes = ExportText(key.substr(sizeof kRoot - 1));
    } else {
        return;  // a key it cannot open: an error on its console, and no file
    }
    bool whole = !writesInstead && writesOnly >= bytes.size();
    if (handsOffFor > 0) {
        handedOff_ = HandedOff{path, bytes.substr(0, writesOnly), whole, 0};
        return;
    }
    if (win_.files.WriteAll(path, bytes.substr(0, writesOnly)) && whole) {
        exported.push_back(win_.files.FullPath(path));
    }
}

void FakeRegedit::Import(const std::string& path) {
    auto bytes = win_.files.ReadAll(path);
    if (!bytes) return;
    std::vector<std::string> lines = SplitLines(Text(*bytes));
    if (lines.empty() || (lines[0] != kHeader && lines[0] != kAnsiHeader)) return;
    bool version5 = lines[0] == kHeader;
    std::string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        // Blanks around a line and around its '=' do not count.
        std::string line = Trimmed(lines[i]);
        if (!line.empty() && line[0] == '[') {
            bool remove = line.size() > 1 && line[1] == '-';
            key = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
            key = UnderRoot(key) ? key.substr(sizeof kRoot - 1) : std::string();
            if (!key.empty() && remove) win_.registry.DeleteKeyTree(key);
            if (!key.empty() && !remove) win_.registry.SeedKey(key);
            if (remove) key.clear();
            continue;
        }
        if (key.empty() || line.empty() || (line[0] != '"' && line[0] != '@')) continue;
        std::size_t at = line[0] == '@' ? 1 : 0;
        std::string name = line[0] == '@' ? "" : Unquoted(line, at);
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at >= line.size() || line[at] != '=') continue;
        std::string data = Trimmed(line.substr(at + 1));
        if (data == "-") {
            RegKey handle = 0;
            if (win_.registry.OpenKey(key, KeySetValue, false, &handle) != RegStatus::Ok) continue;
            win_.registry.DeleteValue(handle, name);
            win_.registry.CloseKey(handle);
        } else if (!data.empty() && data[0] == '"') {
            std::size_t end = 0;
            std::string text = Unquoted(data, end);
            std::vector<std::uint8_t> value(text.begin(), text.end());
            value.push_back(0);  // the editor stores a string with its terminator
            win_.registry.Seed(key, name, RegSz, value);
        } else if (data.rfind("dword:", 0) == 0) {
            win_.registry.SeedDword(key, name, HexNumber(data.substr(6)));
        } else if (data.rfind("hex", 0) == 0 && data.find(':') != std::string::npos) {
            std::uint32_t type = data[3] == '(' ? HexNumber(data.substr(4)) : RegBinary;
            std::string list = data.substr(data.find(':') + 1);
            while (!list.empty() && list.back() == '\\' && i + 1 < lines.size()) {
                list.pop_back();
                std::string next = lines[++i];
                list += Trimmed(next);
            }
            std::vector<std::uint8_t> value = Unhex(list);
            if (IsStringType(type) && version5) {
                // UTF-16LE narrowed, each unit to its low byte, as Text() does.
                std::vector<std::uint8_t> narrow;
                for (std::size_t b = 0; b < value.size(); b += 2)
                    narrow.push_back(value[b]);
                value = narrow;
            }
            win_.registry.Seed(key, name, type, value);
        }
    }
    imported.push_back(win_.files.FullPath(path));
}

}  // namespace platform
