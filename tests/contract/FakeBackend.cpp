// The in-memory Windows, seeded to look like the Wine test rig: one display adapter with the
// rig's modes, cmd.exe installed, the test program's command line.

#include <cctype>
#include <cstdlib>
#include <string>

#include "monitor/MonitorEdid.h"
#include "platform/fake/FakeWindows.h"
#include "tests/contract/ContractBackend.h"

namespace contract {
namespace {

using platform::Launch;
using platform::LaunchResult;

const std::string kHomeDirectory = "C:\\Tests";

// What a started program does: only "cmd.exe /c exit N" exists.
LaunchResult Run(const Launch& launch) {
    std::string file;
    for (char c : launch.file)
        file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string exitCommand = "/c exit ";
    if (file != "cmd.exe" || launch.parameters.rfind(exitCommand, 0) != 0) return {};
    auto code = std::strtoul(launch.parameters.c_str() + exitCommand.size(), nullptr, 10);
    return LaunchResult{true, true, static_cast<std::uint32_t>(code)};
}

class FakeBackend : public Backend {
public:
    FakeBackend() {
        fake_.system.commandLine = "\"" + kHomeDirectory + "\\cadenzo_contract_tests.exe\"";
        fake_.system.currentDirectory = kHomeDirectory;
        fake_.files.AddDirectory(kHomeDirectory);
        fake_.shell.onStart = Run;

        auto& adapter = fake_.display.AddDevice(
            "\\\\.\\DISPLAY1", "Rig display adapter",
            platform::DisplayDeviceAttachedToDesktop | platform::DisplayDevicePrimaryDevice,
            "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\"
            "{7A2F1C3E-0000-4D1B-9C55-12AB34CD56EF}\\0000");
        fake_.display.AddModes(adapter, 640, 480, {60, 72, 75, 85});
        fake_.display.AddModes(adapter, 800, 600, {56, 60, 72, 75, 85});
        fake_.display.AddModes(adapter, 1024, 768, {60, 70, 75, 85});
        fake_.display.AddModes(adapter, 1280, 1024, {60, 75, 85});
        adapter.current = 9;  // 1024x768 at 60 Hz, as the rig starts

        // Wine's monitor, whose EDID its display driver could not read.
        const std::string driver = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0000";
        adapter.monitors.push_back(platform::DisplayDevice{
            "\\\\.\\DISPLAY1\\Monitor0", "Generic Non-PnP Monitor",
            0x3,  // a monitor's flags: active and attached
            "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\" + driver,
            "MONITOR\\Default_Monitor\\" + driver});
        const std::string device =
            std::string(monitor::MonitorEnumKey) + "\\Default_Monitor\\0000&0000";
        fake_.registry.SeedString(device, monitor::MonitorDriverValue, driver);
        fake_.registry.Seed(device + "\\" + monitor::MonitorParametersKey, "BAD_EDID",
                            platform::RegBinary, {});
    }

    platform::Platform& Os() override { return os_; }

    void AddStringLikeRegExe(const std::string& key, const std::string& name,
                             const std::string& text) override {
        fake_.registry.SeedString(key, name, text);
    }
    bool RegExeFinds(const std::string& key, const std::string& name) override {
        return fake_.registry.Value(key, name).has_value();
    }

    std::string EnterScratchDirectory() override {
        // A new directory each time: nothing a test left behind is seen by the next.
        std::string dir = kHomeDirectory + "\\Scratch" + std::to_string(++scratchCount_);
        fake_.files.AddDirectory(dir);
        fake_.system.currentDirectory = dir;
        return dir;
    }
    void LeaveScratchDirectory() override { fake_.system.currentDirectory = kHomeDirectory; }
    void HoldOpenForReading(const std::string& name) override { fake_.files.DenyWrites(name); }

    void PressOnNextBox(const std::string&, platform::Answer button) override {
        if (button != platform::Answer::Ok) fake_.boxes.answers.push_back(button);
    }
    std::string PressedBoxText() override {
        return fake_.boxes.shown.empty() ? std::string() : fake_.boxes.shown.back().text;
    }

private:
    platform::FakeWindows fake_;
    platform::Platform os_ = fake_.Os();
    int scratchCount_ = 0;
};

}  // namespace

Backend& TheBackend() {
    static FakeBackend backend;
    return backend;
}

}  // namespace contract
