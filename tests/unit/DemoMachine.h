#pragma once
// A machine with one ATI adapter for the tests: its display device, the modes the display
// reports and the driver's identification values.

#include <string>

#include "adapters/AtiLocations.h"
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

}  // namespace demo

#include <gtest/gtest.h>

#include "app/Program.h"
#include "platform/fake/FakeRegedit.h"

namespace demo {

// A test on the demo machine with the program on it, its registry editor included.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() { SeedAdapter(win); }

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
