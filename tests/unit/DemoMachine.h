#pragma once
// A machine with one ATI adapter for the tests: its display device, the modes the display
// reports and the driver's identification values.

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "adapters/AtiLocations.h"
#include "monitor/MonitorEdid.h"
#include "platform/fake/FakeWindows.h"

namespace demo {

constexpr char DriverKey[] =
    "System\\CurrentControlSet\\Control\\Video\\{6A1C4E0F-1F2D-4B3A-9C7E-1D2E3F405060}\\0000";
constexpr char DeviceName[] = "\\\\.\\DISPLAY1";

// Cadenzo's folder with its card database, the current directory of the program.
inline void SeedInstall(platform::FakeWindows& win) {
    win.files.Put(win.system.currentDirectory + "\\ati.pci", "");
}

inline void SeedAdapter(platform::FakeWindows& win) {
    SeedInstall(win);
    auto& device = win.display.AddDevice(
        DeviceName, "RADEON 9700 PRO",
        platform::DisplayDeviceAttachedToDesktop | platform::DisplayDevicePrimaryDevice,
        std::string("\\Registry\\Machine\\") + DriverKey);
    win.display.AddModes(device, 640, 480, {60, 72, 75, 85});
    win.display.AddModes(device, 800, 600, {56, 60, 72, 75, 85});
    win.display.AddModes(device, 1024, 768, {60, 70, 75, 85});
    win.display.AddModes(device, 1280, 1024, {60, 75, 85});
    win.registry.SeedKey(DriverKey);
    // Cadenzo has run here before: no first run is due.
    win.registry.SeedString("SOFTWARE\\Korvex\\Cadenzo", "Version", "0.98 beta");
    win.registry.SeedKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    win.registry.SeedString(ati::CdsAsicKey, "Chip ID", "R300");
    win.registry.SeedString(ati::CbtKey, "ReleaseVersion", "8.162-050811a-025681C");
    win.registry.SeedString(ati::ServiceEnumKeys[1], "0",
                            "PCI\\VEN_1002&DEV_4E44&SUBSYS_00021002&REV_00\\4&2C1B0C6&0&0008");
}

// A monitor "CAD1234" on the adapter, with `edid` where Windows keeps it: the monitor's device
// key under Enum\\DISPLAY, which names the monitor's driver key.
// An EDID's base block with its checksum set.
inline std::vector<std::uint8_t> Summed(std::vector<std::uint8_t> b) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < monitor::EdidBlockSize; ++i)
        sum += b[i];
    b[monitor::EdidBlockSize - 1] = static_cast<std::uint8_t>(256 - sum % 256);
    return b;
}
// A CRT's base block: range limits 50-85 Hz, 30-70 kHz, 140 MHz, named "Cadenzo CRT".
inline std::vector<std::uint8_t> CrtBlock(std::uint8_t rangeFlags = 0) {
    std::vector<std::uint8_t> b{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    b.resize(monitor::EdidBlockSize);
    b[18] = 1, b[19] = 3;
    const std::uint8_t range[] = {0, 0, 0, 0xFD, rangeFlags, 50, 85, 30, 70, 14, 0, 0x0A};
    std::copy(std::begin(range), std::end(range), b.begin() + 72);
    const std::string name = std::string("\0\0\0\xFC\0Cadenzo CRT\n", 17);
    std::copy(name.begin(), name.end(), b.begin() + 90);
    return Summed(b);
}

inline void SeedMonitor(platform::FakeWindows& win, const std::vector<std::uint8_t>& edid) {
    const std::string driver = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001";
    win.display.devices.at(0).monitors.push_back(platform::DisplayDevice{
        std::string(DeviceName) + "\\Monitor0", "Cadenzo CRT", 0x3 /*active, attached*/,
        "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\" + driver,
        "MONITOR\\CAD1234\\" + driver});
    const std::string device =
        std::string(monitor::MonitorEnumKey) + "\\CAD1234\\5&1A2B3C&0&UID4352";
    win.registry.SeedString(device, monitor::MonitorDriverValue, driver);
    win.registry.Seed(device + "\\" + monitor::MonitorParametersKey, monitor::EdidValue,
                      platform::RegBinary, edid);
}

// The driver's values as an installed ATI driver keeps them, each of those the program writes
// among them, so that importing a backup of the key brings every byte back: refused 43 Hz
// rates, one non-standard mode, the control panel's maximum of 75 Hz, the switches and the
// anisotropy override. `addNativeModes` is the driver's rule before any first run.
inline void SeedDriverProfile(platform::FakeWindows& win, bool addNativeModes = false) {
    auto& registry = win.registry;
    const std::string key = DriverKey;
    registry.Seed(key, "DALRestrictedModesBCD", platform::RegBinary,
                  {0x10, 0x24, 0x07, 0x68, 0, 0, 0, 0x43, 0x12, 0x80, 0x10, 0x24, 0, 0, 0, 0x43});
    for (const char* name :
         {"DALRestrictedModesBCD1", "DALRestrictedModesBCD2", "DALRestrictedModesBCD3",
          "DALOPTION_MinResBCD", "DALNonStandardModesBCD1", "DALNonStandardModesBCD2",
          "DALNonStandardModesBCD3"})
        registry.Seed(key, name, platform::RegBinary, {});
    registry.SeedDword(key, "DALRULE_ADDNATIVEMODESTOMODETABLE", addNativeModes ? 1 : 0);
    registry.Seed(key, "DALNonStandardModesBCD", platform::RegBinary,
                  {0x11, 0x52, 0x08, 0x64, 0, 0x32, 0, 0x75});
    registry.SeedDword(key, "PruningMode", 1);
    registry.SeedString(key, "DriverVersion", "6.14.10.6396");
    registry.Seed(key, "DALR6 CRT_Info", platform::RegBinary,
                  {1, 0, 0, 0, 0, 5, 0, 4, 75, 0, 0, 0, 0x20, 0, 0, 0});
    registry.Seed(key, "DALR6 CRT_MaxModeInfo", platform::RegBinary,
                  {2, 0, 0, 0, 0, 5, 0, 0, 0, 4, 0, 0, 0x20, 0, 0, 0, 75, 0, 0, 0});
    for (const char* name :
         {"DisableBlockWrite", "DisableDrvStretchBlt", "DisableTiling", "DisableUSWC",
          "DisableVBlankFlip", "DisableLCD", "DDC2Disabled", "DisableDMACopy"})
        registry.SeedDword(key, name, 0);
    registry.SeedString(key + "\\ddhal", "AnisoDegree", "16");
}

// The lines of history.log in Cadenzo's folder (the current directory unless `installDir`),
// each without the time it starts with.
inline std::vector<std::string> HistoryLines(const platform::FakeWindows& win,
                                             std::string installDir = std::string()) {
    if (installDir.empty()) installDir = win.system.currentDirectory;
    std::vector<std::string> lines;
    for (const std::string& line :
         platform::SplitLines(win.files.Contents(installDir + "\\history.log").value_or("")))
        lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

// The Event Log's entries in order, each its level's letter (I, W, E), a blank and its text.
inline std::vector<std::string> EventLogEntries(const platform::FakeWindows& win) {
    std::vector<std::string> entries;
    for (const auto& event : win.system.events)
        entries.push_back(std::string(1, "IWE"[static_cast<int>(event.type)]) + " " + event.text);
    return entries;
}

// The driver key and its subkeys: every value's type and bytes, by key and name.
using KeyContents = std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint8_t>>>;
inline KeyContents DriverKeyContents(const platform::FakeRegistry& registry) {
    KeyContents contents;
    std::vector<std::string> keys = registry.SubkeyPaths(DriverKey);
    keys.push_back(DriverKey);
    for (const std::string& key : keys) {
        for (const std::string& name : registry.ValueNames(key)) {
            platform::RegValue value = *registry.Value(key, name);
            contents[platform::CanonicalKeyPath(key) + "\\" + name] = {value.type, value.data};
        }
    }
    return contents;
}

}  // namespace demo

#include <gtest/gtest.h>

#include "app/Program.h"
#include "platform/fake/FakeRegedit.h"
#include "tests/unit/ProfileRoundTrip.h"

namespace demo {

// A test on the demo machine with the program on it, its registry editor included.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() { SeedAdapter(win); }
    // The program's grid, as each test leaves it, also goes through a settings profile and back.
    void TearDown() override { profiles::ExpectRoundTrip(program.ModeTable); }

    // Cadenzo runs from its folder under Program Files, with a card database beside it.
    void InstallInProgramFiles() {
        win.system.currentDirectory = "C:\\Program Files\\Cadenzo";
        SeedInstall(win);
    }

    platform::FakeWindows win;
    platform::FakeRegedit regedit{win};
    platform::Platform os = win.Os();
    ui::Application app{win.boxes};
    Program program{os, app};
};

}  // namespace demo
