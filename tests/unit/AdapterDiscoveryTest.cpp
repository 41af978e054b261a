// Finding the adapter and its driver key, and reading what identifies the card, against the
// in-memory Windows.

#include <gtest/gtest.h>

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "platform/fake/FakeWindows.h"

namespace {

constexpr char kVideoKey[] =
    "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{6A1C}\\0000";
constexpr std::uint32_t kDesktop = platform::DisplayDeviceAttachedToDesktop;

class AdapterDiscoveryTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    AdapterState adapter;
};

TEST_F(AdapterDiscoveryTest, FirstAdapterGivesTheDriverKeyEvenWhenTheAtiCardIsSecond) {
    win.display.AddDevice("\\\\.\\DISPLAY1", "Other Adapter", kDesktop | 4, kVideoKey);
    win.display.AddDevice("\\\\.\\DISPLAY2", "RADEON 9700 PRO", kDesktop,
                          "\\Registry\\Machine\\System\\X\\0001");
    win.display.AddDevice("\\\\.\\DISPLAYV1", "Mirror", platform::DisplayDeviceMirroringDriver, "");
    win.display.AddDevice("\\\\.\\DISPLAY3", "Idle", 0, "");
    DiscoverAdapters(win.display, adapter);
    EXPECT_EQ(2, adapter.AdapterCount);
    ASSERT_EQ(2u, adapter.AdapterList.size());
    EXPECT_EQ("RADEON 9700 PRO", adapter.AdapterList[1].name);
    EXPECT_EQ("System\\CurrentControlSet\\Control\\Video\\{6A1C}\\0000", adapter.DriverKey);
    EXPECT_EQ("System\\CurrentControlSet\\Control\\Video\\{6A1C}\\0000\\ddhal", adapter.DdhalKey);
    EXPECT_EQ("\\\\.\\DISPLAY1", adapter.DisplayDeviceName);
}

TEST_F(AdapterDiscoveryTest, SkippedDeviceNumbersLeaveEmptySlotsAndNoFirstAdapter) {
    win.display.AddDevice("\\\\.\\DISPLAYV1", "Mirror", platform::DisplayDeviceMirroringDriver,
                          kVideoKey);
    win.display.AddDevice("\\\\.\\DISPLAY2", "RADEON", kDesktop, kVideoKey);
    DiscoverAdapters(win.display, adapter);
    EXPECT_EQ(2, adapter.AdapterCount);
    EXPECT_EQ("", adapter.AdapterList[0].name);
    EXPECT_FALSE(adapter.HasDriverKey());  // the first slot is empty: no driver key at all
    EXPECT_EQ("", adapter.DdhalKey);
    EXPECT_EQ("", adapter.DisplayDeviceName);
}

TEST_F(AdapterDiscoveryTest, NoDevicesAtAll) {
    DiscoverAdapters(win.display, adapter);
    EXPECT_EQ(0, adapter.AdapterCount);
    EXPECT_FALSE(adapter.HasDriverKey());
}

TEST_F(AdapterDiscoveryTest, OnlyKeysOfTheMachineGiveADriverKey) {
    EXPECT_EQ("System\\Video\\0000", DriverKeyOf("\\REGISTRY\\MACHINE\\System\\Video\\0000"));
    EXPECT_EQ("", DriverKeyOf("\\Registry\\User\\S-1-5\\Video\\0000"));
    EXPECT_EQ("", DriverKeyOf("Video\\0000"));
    EXPECT_EQ("", DriverKeyOf("\\Registry\\Machine\\"));
    EXPECT_EQ("", DriverKeyOf(""));
}

TEST_F(AdapterDiscoveryTest, ClassIdentifiersComeFromTheHardwareKey) {
    win.registry.SeedString(ati::CdsDriverKey, "Hardware RegKey",
                            "SYSTEM\\Hw\\{ABC}\\0000 trailing words");
    win.registry.SeedString("SYSTEM\\Hw\\{ABC}\\0000", "Driver",
                            "{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000");
    win.registry.SeedString("SYSTEM\\Hw\\{ABC}\\0000\\Device Parameters", "VideoID",
                            "{5F2A}\\0000 extra");
    ReadClassIds(win.registry, adapter);
    EXPECT_EQ("{4D36E968-E325-11CE-BFC1-08002BE10318}", adapter.ClassID);
    EXPECT_EQ("{5F2A}", adapter.VideoID);

    win.registry.SeedString("SYSTEM\\Hw\\{ABC}\\0000\\Device Parameters", "VideoID", "no brace");
    ReadClassIds(win.registry, adapter);
    EXPECT_EQ("", adapter.VideoID);
}

TEST_F(AdapterDiscoveryTest, ChipAndDriverVersionTakeTheLastSourceAndCutRemarks) {
    IdentifyCard(win.registry, adapter);
    EXPECT_EQ(NotFoundPreset, adapter.Chip);
    EXPECT_EQ(NotFoundPreset, adapter.DriverVersion);

    win.registry.SeedString(ati::CdsAsicKey, "Chip ID", "R300 <AGP>");
    win.registry.SeedString(ati::DisplayClassKey, "DriverVersion", "6.14.10.6467 (English)");
    IdentifyCard(win.registry, adapter);
    EXPECT_EQ("R300 ", adapter.Chip);
    EXPECT_EQ("6.14.10.6467 ", adapter.DriverVersion);

    win.registry.SeedString(ati::Ati2mtagDevice0Key, "Device Description", "RADEON 9700 PRO");
    win.registry.SeedString(ati::CbtKey, "ReleaseVersion", "8.162");
    IdentifyCard(win.registry, adapter);
    EXPECT_EQ(std::string("RADEON 9700 PRO\0", 16), adapter.Chip);  // the terminator stays
    EXPECT_EQ(std::string("8.162\0", 6), adapter.DriverVersion);
}

TEST_F(AdapterDiscoveryTest, PciIdentifiersComeFromTheLastServiceEnumKey) {
    win.registry.SeedString(ati::ServiceEnumKeys[1], "0",
                            "PCI\\VEN_1002&DEV_5960&SUBSYS_00000000&REV_01\\4&1");
    win.registry.SeedString(ati::ServiceEnumKeys[3], "0",
                            "PCI\\VEN_1002&DEV_4E44&SUBSYS_00021002&REV_00\\4&2C1B0C6&0&0008");
    IdentifyCard(win.registry, adapter);
    EXPECT_EQ("1002", adapter.VendorId);
    EXPECT_EQ("4E44", adapter.DeviceId);
    EXPECT_EQ("0002", adapter.SubsysId);
    EXPECT_EQ("1002", adapter.SubsysVendorId);
    EXPECT_EQ("00", adapter.RevisionId);
}

TEST_F(AdapterDiscoveryTest, PciIdentifiersOfOddInstanceIds) {
    IdentifyCard(win.registry, adapter);
    EXPECT_EQ("", adapter.VendorId + adapter.DeviceId + adapter.SubsysId + adapter.RevisionId);
    // A marker that is missing counts from the start of the text, as the driver's own
    // identification does; a short text never reads past its end.
    EXPECT_EQ("\\VEN", CutIdentifier("PCI\\VEN_1002", "DEV_", 3, 4));
    EXPECT_EQ("10", CutIdentifier("PCI\\VEN_10", "VEN_", 3, 4));
    EXPECT_EQ("", CutIdentifier("PCI\\VEN_", "VEN_", 3, 4));
    EXPECT_EQ("", CutIdentifier("AB", "SUBSYS_", 10, 4));
}

}  // namespace
