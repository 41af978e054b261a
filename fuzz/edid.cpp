// The monitor's EDID as Windows keeps it: the input is the value's bytes, read through the
// lookup as the monitor check and the report read it, then checked against a mode table.

#include <cmath>

#include "fuzz/FuzzMachine.h"
#include "monitor/MonitorEdid.h"
#include "monitor/RangeCheck.h"

namespace {

constexpr char kAdapter[] = "\\\\.\\DISPLAY1";
constexpr char kDriver[] = "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0001";
constexpr char kModel[] = "CAD1234";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    auto& adapter =
        win.display.AddDevice(kAdapter, "RADEON", platform::DisplayDevicePrimaryDevice, "");
    adapter.monitors.push_back(
        platform::DisplayDevice{std::string(kAdapter) + "\\Monitor0", "Monitor", 0x3, "",
                                std::string("MONITOR\\") + kModel + "\\" + kDriver});
    const std::string device = std::string(monitor::MonitorEnumKey) + "\\" + kModel + "\\1";
    win.registry.SeedString(device, monitor::MonitorDriverValue, kDriver);
    win.registry.Seed(device + "\\" + monitor::MonitorParametersKey, monitor::EdidValue,
                      platform::RegBinary, fuzz::Bytes(data, size));

    monitor::Edid edid = monitor::ReadMonitorEdid(win.display, win.registry, kAdapter);
    // Only a whole block with ranges answers the check, and it says so when ranges are missing.
    fuzz::Require(edid.status != monitor::EdidStatus::Usable || (edid.ranges && size >= 128));
    fuzz::Require(edid.status != monitor::EdidStatus::NoRangeDescriptor || !edid.ranges);
    fuzz::Require(edid.manufacturer.empty() || edid.manufacturer.size() == 3);
    fuzz::Require(edid.productName.size() <= 13);
    for (char c : edid.productName)
        fuzz::Require(c >= 0x20 && c < 0x7F);
    if (!edid.ranges) return 0;

    const std::vector<monitor::Mode> modes = {
        {640, 480, 60}, {1024, 768, 85}, {1280, 1024, 100}, {1920, 1080, 240}, {8, 1, 400}};
    for (const monitor::ModeBeyondLimits& beyond :
         monitor::ModesBeyondLimits(*edid.ranges, modes)) {
        fuzz::Require(!beyond.excesses.empty());
        for (const monitor::Excess& excess : beyond.excesses)
            fuzz::Require(std::isfinite(excess.needs) && excess.needs > excess.maximum);
    }
    for (const monitor::Mode& mode : modes) {
        std::optional<std::uint32_t> rate =
            monitor::HighestRateWithin(*edid.ranges, mode.width, mode.height);
        fuzz::Require(
            !rate ||
            (*rate >= edid.ranges->minVerticalHz && *rate <= edid.ranges->maxVerticalHz &&
             monitor::ModesBeyondLimits(*edid.ranges, {{mode.width, mode.height, *rate}}).empty()));
    }
    return 0;
}
