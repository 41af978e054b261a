#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/MonitorEdid.h"
#include "tests/contract/ContractBackend.h"

using platform::DisplayMode;

namespace {

using platform::CdsFullscreen;
using platform::CdsUpdateRegistry;

constexpr std::uint32_t kSizeAndRate =
    platform::DmPelsWidth | platform::DmPelsHeight | platform::DmDisplayFrequency;

auto Key(const DisplayMode& m) { return std::make_tuple(m.width, m.height, m.frequency); }

class DisplayContract : public ::testing::Test {
protected:
    void SetUp() override {
        platform::DisplayDevice device;
        ASSERT_TRUE(display.EnumDevice(0, &device));
        name = device.deviceName;
        ASSERT_TRUE(display.EnumMode(name, platform::EnumCurrentSettings, 0, &original));
    }
    // Leaves the display as it found it, in force and as stored.
    void TearDown() override {
        DisplayMode back{kSizeAndRate, 0, original.width, original.height, original.frequency};
        EXPECT_EQ(display.ChangeSettings(name, &back, CdsUpdateRegistry | CdsFullscreen),
                  platform::DispChangeSuccessful);
    }

    std::vector<DisplayMode> Modes(std::uint32_t flags) {
        std::vector<DisplayMode> modes;
        DisplayMode mode;
        for (std::uint32_t i = 0; i < 10000 && display.EnumMode(name, i, flags, &mode); ++i) {
            modes.push_back(mode);
        }
        return modes;
    }
    DisplayMode Current() {
        DisplayMode mode;
        EXPECT_TRUE(display.EnumMode(name, platform::EnumCurrentSettings, 0, &mode));
        return mode;
    }
    // Another rate of the current resolution.
    std::uint32_t OtherRate() {
        for (const DisplayMode& m : Modes(0)) {
            if (m.width == original.width && m.height == original.height &&
                m.frequency != original.frequency) {
                return m.frequency;
            }
        }
        ADD_FAILURE() << "the current resolution has a single rate";
        return original.frequency;
    }

    platform::Display& display = contract::TheBackend().Os().display;
    std::string name;
    DisplayMode original;
};

TEST_F(DisplayContract, FirstDeviceIsThePrimaryAdapterWithAKernelDriverKey) {
    platform::DisplayDevice device;
    ASSERT_TRUE(display.EnumDevice(0, &device));
    EXPECT_EQ(device.deviceKey.rfind("\\Registry\\Machine\\", 0), 0u) << device.deviceKey;
    EXPECT_GT(device.deviceKey.size(), 18u);
    EXPECT_TRUE(device.stateFlags & platform::DisplayDevicePrimaryDevice);
    EXPECT_TRUE(device.stateFlags & platform::DisplayDeviceAttachedToDesktop);
    EXPECT_FALSE(device.deviceName.empty());

    std::uint32_t count = 1;
    while (count < 32 && display.EnumDevice(count, &device))
        ++count;
    EXPECT_LT(count, 32u) << "the device enumeration never ends";
}

// The monitor is found as the EDID lookup expects: its device id names its model and driver
// key, and a device key of that model under Enum\\DISPLAY names the same driver.
TEST_F(DisplayContract, FirstMonitorOfTheAdapterHasADeviceKeyNamingItsDriver) {
    platform::DisplayDevice monitor;
    ASSERT_TRUE(display.EnumMonitor(name, 0, &monitor));
    EXPECT_EQ(monitor.deviceId.rfind("MONITOR\\", 0), 0u) << monitor.deviceId;
    platform::Registry& registry = contract::TheBackend().Os().registry;
    std::string device = monitor::MonitorDeviceKey(display, registry, name);
    EXPECT_EQ(device.rfind(std::string(monitor::MonitorEnumKey) + "\\", 0), 0u) << monitor.deviceId;
    // The rig's monitor has no EDID, as a monitor Windows could not read has none.
    EXPECT_TRUE(monitor::MonitorEdidBytes(display, registry, name).empty());

    std::uint32_t count = 1;
    while (count < 16 && display.EnumMonitor(name, count, &monitor))
        ++count;
    EXPECT_LT(count, 16u) << "the monitor enumeration never ends";
    EXPECT_FALSE(display.EnumMonitor("\\\\.\\DISPLAY99", 0, &monitor));
}

TEST_F(DisplayContract, ModesHaveRealRatesAndTheListEnds) {
    std::vector<DisplayMode> modes = Modes(0);
    ASSERT_GE(modes.size(), 4u);
    for (const DisplayMode& m : modes) {
        EXPECT_EQ(m.fields & kSizeAndRate, kSizeAndRate);
        EXPECT_GT(m.width, 0u);
        EXPECT_GT(m.height, 0u);
        EXPECT_GT(m.frequency, 1u) << m.width << "x" << m.height;  // 0 and 1 mean "default"
    }
    DisplayMode past;
    auto end = static_cast<std::uint32_t>(modes.size());
    EXPECT_FALSE(display.EnumMode(name, end, 0, &past));
    EXPECT_FALSE(display.EnumMode(name, end + 1, 0, &past));
    EXPECT_FALSE(display.EnumMode("\\\\.\\DISPLAY99", 0, 0, &past));

    // The whole list in one call: the same modes in the same order, up to the last mode number
    // asked for, and no further than the sink wants.
    struct Collect : platform::ModeSink {
        std::vector<std::string> seen;
        std::size_t wanted = SIZE_MAX;
        bool Take(const DisplayMode& m) override {
            seen.push_back(std::to_string(m.width) + "x" + std::to_string(m.height) + "x" +
                           std::to_string(m.bitsPerPel) + "@" + std::to_string(m.frequency));
            return seen.size() < wanted;
        }
    };
    std::vector<std::string> expected;
    for (const DisplayMode& m : modes) {
        expected.push_back(std::to_string(m.width) + "x" + std::to_string(m.height) + "x" +
                           std::to_string(m.bitsPerPel) + "@" + std::to_string(m.frequency));
    }
    Collect all;
    display.EnumModes(name, UINT32_MAX, 0, all);
    EXPECT_EQ(expected, all.seen);
    Collect first3;
    display.EnumModes(name, 2, 0, first3);
    EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.begin() + 3), first3.seen);
    Collect stopped;
    stopped.wanted = 2;
    display.EnumModes(name, UINT32_MAX, 0, stopped);
    EXPECT_EQ(2u, stopped.seen.size());
    Collect none;
    display.EnumModes("\\\\.\\DISPLAY99", UINT32_MAX, 0, none);
    EXPECT_TRUE(none.seen.empty());
}

TEST_F(DisplayContract, CurrentModeIsOneOfTheListedModes) {
    EXPECT_EQ(original.fields & kSizeAndRate, kSizeAndRate);
    std::vector<DisplayMode> modes = Modes(0);
    EXPECT_TRUE(std::any_of(modes.begin(), modes.end(),
                            [&](const DisplayMode& m) { return Key(m) == Key(original); }));
}

TEST_F(DisplayContract, RawModesIncludeEveryListedMode) {
    std::vector<DisplayMode> raw = Modes(platform::EdsRawMode);
    for (const DisplayMode& m : Modes(0)) {
        EXPECT_TRUE(std::any_of(raw.begin(), raw.end(),
                                [&](const DisplayMode& r) { return Key(r) == Key(m); }))
            << m.width << "x" << m.height << "@" << m.frequency;
    }
}

TEST_F(DisplayContract, RateAloneIsRefusedWhileSizeAndRateSwitch) {
    std::uint32_t rate = OtherRate();

    DisplayMode rateOnly{platform::DmDisplayFrequency, 0, 0, 0, rate};
    EXPECT_EQ(display.ChangeSettings(name, &rateOnly, CdsFullscreen), platform::DispChangeBadMode);
    EXPECT_EQ(Current().frequency, original.frequency);

    DisplayMode full{kSizeAndRate, 0, original.width, original.height, rate};
    ASSERT_EQ(display.ChangeSettings(name, &full, CdsFullscreen), platform::DispChangeSuccessful);
    DisplayMode now = Current();
    EXPECT_EQ(Key(now), std::make_tuple(original.width, original.height, rate));

    // Without a record the stored mode comes back: the change above was not stored.
    EXPECT_EQ(display.ChangeSettings(name, nullptr, CdsFullscreen), platform::DispChangeSuccessful);
    EXPECT_EQ(Key(Current()), Key(original));
}

TEST_F(DisplayContract, StoredModeIsTheOneRestoredWithoutARecord) {
    std::uint32_t rate = OtherRate();
    DisplayMode full{kSizeAndRate, 0, original.width, original.height, rate};
    ASSERT_EQ(display.ChangeSettings(name, &full, CdsUpdateRegistry | CdsFullscreen),
              platform::DispChangeSuccessful);
    DisplayMode elsewhere{kSizeAndRate, 0, original.width, original.height, original.frequency};
    ASSERT_EQ(display.ChangeSettings(name, &elsewhere, CdsFullscreen),
              platform::DispChangeSuccessful);

    EXPECT_EQ(display.ChangeSettings(name, nullptr, CdsFullscreen), platform::DispChangeSuccessful);
    EXPECT_EQ(Current().frequency, rate);
}

TEST_F(DisplayContract, WithoutANameThePrimaryDisplaySwitches) {
    std::uint32_t rate = OtherRate();
    DisplayMode full{kSizeAndRate, 0, original.width, original.height, rate};
    ASSERT_EQ(display.ChangeSettings("", &full, CdsFullscreen), platform::DispChangeSuccessful);
    EXPECT_EQ(Current().frequency, rate);
    EXPECT_EQ(display.ChangeSettings("", nullptr, CdsFullscreen), platform::DispChangeSuccessful);
    EXPECT_EQ(Key(Current()), Key(original));
}

TEST_F(DisplayContract, UnknownModeOrDeviceIsRefused) {
    DisplayMode odd{kSizeAndRate, 0, 1234, 567, 61};
    EXPECT_EQ(display.ChangeSettings(name, &odd, CdsFullscreen), platform::DispChangeBadMode);
    DisplayMode full{kSizeAndRate, 0, original.width, original.height, OtherRate()};
    EXPECT_LT(display.ChangeSettings("\\\\.\\DISPLAY99", &full, CdsFullscreen), 0);
    EXPECT_EQ(Key(Current()), Key(original));
}

}  // namespace
