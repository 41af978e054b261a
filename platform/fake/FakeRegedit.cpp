#include "platform/fake/FakeRegedit.h"

#include <strings.h>

#include <sstream>

namespace platform {
namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";
constexpr char kHeader[] = "FAKE REGEDIT EXPORT";

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

}  // namespace

FakeRegedit::FakeRegedit(FakeWindows& win) : win_(win) {
    win_.shell.onStart = [this](const Launch& launch) { return Run(launch); };
}

std::vector<std::string> FakeRegedit::Arguments(const std::string& parameters) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, any = false;
    for (char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

LaunchResult FakeRegedit::Run(const Launch& launch) {
    if (strcasecmp(launch.file.c_str(), "regedit.exe") != 0) return {true, true, 0};
    if (hangs) return {true, false, 0};
    std::vector<std::string> args = Arguments(launch.parameters);
    bool ok = false;
    if (args.size() == 3 && args[0] == "/e") ok = Export(args[1], args[2]);
    if (args.size() == 2 && args[0] == "/s") ok = Import(args[1]);
    return {true, true, ok ? 0u : 1u};
}

bool FakeRegedit::Export(const std::string& path, const std::string& key) {
    if (exportsFail || strncasecmp(key.c_str(), kRoot, sizeof kRoot - 1) != 0) return false;
    std::string keyPath = key.substr(sizeof kRoot - 1);
    if (!win_.registry.KeyExists(keyPath)) return false;
    std::ostringstream out;
    out << kHeader << "\n";
    std::vector<std::string> keys{keyPath};
    for (const std::string& sub : win_.registry.SubkeyPaths(keyPath))
        keys.push_back(sub);
    for (const std::string& k : keys) {
        out << "[" << k << "]\n";
        for (const std::string& name : win_.registry.ValueNames(k)) {
            RegValue v = *win_.registry.Value(k, name);
            out << name << "=" << v.type << ":" << Hex(v.data) << "\n";
        }
    }
    if (!win_.files.WriteAll(path, out.str())) return false;
    exported.push_back(win_.files.FullPath(path));
    return true;
}

bool FakeRegedit::Import(const std::string& path) {
    auto text = win_.files.ReadAll(path);
    if (!text) return false;
    std::vector<std::string> lines = SplitLines(*text);
    if (lines.empty() || lines[0] != kHeader) return false;
    std::string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '[') {
            key = line.substr(1, line.size() - 2);
            win_.registry.SeedKey(key);
            continue;
        }
        std::size_t eq = line.rfind('=');
        std::size_t colon = line.find(':', eq);
        if (eq == std::string::npos || colon == std::string::npos) continue;
        win_.registry.Seed(
            key, line.substr(0, eq),
            static_cast<std::uint32_t>(std::stoul(line.substr(eq + 1, colon - eq - 1))),
            Unhex(line.substr(colon + 1)));
    }
    imported.push_back(win_.files.FullPath(path));
    return true;
}

}  // namespace platform
