#include "platform/fake/FakeRegedit.h"

#include <algorithm>
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

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::vector<std::uint8_t> Unhex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
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
    if (args.size() == 2 && args[0] == "/s" && !hangs) Import(args[1]);
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
        for (const std::string& name : win_.registry.ValueNames(k)) {
            RegValue v = *win_.registry.Value(k, name);
            out << name << "=" << v.type << ":" << Hex(v.data) << "\r\n";
        }
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
    std::string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '[') {
            key = line.substr(1, line.size() - 2);
            key = UnderRoot(key) ? key.substr(sizeof kRoot - 1) : std::string();
            if (!key.empty()) win_.registry.SeedKey(key);
            continue;
        }
        std::size_t eq = line.rfind('=');
        std::size_t colon = line.find(':', eq);
        if (key.empty() || eq == std::string::npos || colon == std::string::npos) continue;
        win_.registry.Seed(
            key, line.substr(0, eq),
            static_cast<std::uint32_t>(std::stoul(line.substr(eq + 1, colon - eq - 1))),
            Unhex(line.substr(colon + 1)));
    }
    imported.push_back(win_.files.FullPath(path));
}

}  // namespace platform
