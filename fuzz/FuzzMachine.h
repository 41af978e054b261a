#pragma once
// What every fuzz target needs: the input as bytes or texts, and an in-memory Windows with an
// ATI adapter's driver key and Cadenzo installed in its folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake/FakeWindows.h"
#include "services/Settings.h"

namespace fuzz {

constexpr char DriverKey[] =
    "System\\CurrentControlSet\\Control\\Video\\{6A1C4E0F-1F2D-4B3A-9C7E-1D2E3F405060}\\0000";
constexpr char InstallDir[] = "C:\\Cadenzo";

inline std::vector<std::uint8_t> Bytes(const std::uint8_t* data, std::size_t size) {
    return std::vector<std::uint8_t>(data, data + size);
}

inline std::string Text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input cut at each `separator` into at most `count` texts; the last takes the rest.
inline std::vector<std::string> Fields(const std::uint8_t* data, std::size_t size, char separator,
                                       std::size_t count) {
    std::string text = Text(data, size);
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (fields.size() + 1 < count) {
        std::size_t cut = text.find(separator, at);
        if (cut == std::string::npos) break;
        fields.push_back(text.substr(at, cut - at));
        at = cut + 1;
    }
    fields.push_back(text.substr(at));
    fields.resize(count);
    return fields;
}

// A property of the product that must hold for every input: a finding when it does not.
inline void Require(bool holds) {
    if (!holds) std::abort();
}

// The driver key exists and Cadenzo remembers its folder, as after an ordinary start.
inline void SeedMachine(platform::FakeWindows& win) {
    win.system.currentDirectory = InstallDir;
    win.files.AddDirectory(InstallDir);
    win.registry.SeedKey(DriverKey);
    win.registry.SeedString(SettingsKey, InstallDirValue, InstallDir);
}

}  // namespace fuzz
