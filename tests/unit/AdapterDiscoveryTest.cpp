// Finding the adapter and its driver key, reading what identifies the card and naming it from
// the card database, against the in-memory Windows.

#include <gtest/gtest.h>

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "adapters/CardDatabase.h"
#include "platform/fake/FakeWindows.h"

namespace {

constexpr char kVideoKey[] =
    "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{6A1C}\\0000";
constexpr std::uint32_t kDesktop = platform::DisplayDeviceAttachedToDesktop;

class AdapterDiscoveryTest : public ::testing::Test {
protected:
    // The card type the database `text` gives the demo card (DEV_4E44, SUBSYS_00021002).
    std::string CardTypeFrom(const std::string& text) {
        adapter.DeviceId = "4E44";
        adapter.SubsysId = "0002";
        adapter.SubsysVendorId = "1002";
        win.files.Put("C:\\Cadenzo\\ati.pci", text);
        return LookUpCardType(win.files, "C:\\Cadenzo\\ati.pci", adapter).value_or("(none)");
    }

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
    EXPECT_EQ("RADEON 9700 PRO", adapter.Chip);  // without the terminator
    EXPECT_EQ("8.162", adapter.DriverVersion);
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

TEST_F(AdapterDiscoveryTest, CardTypeFollowsTheBlocksOfTheDatabase) {
    // The chip, then its maker, then the board itself.
    EXPECT_EQ("Board", CardTypeFrom("D 4E44 Chip\r\nO 1002 Maker\r\nS 0002 Board\r\n"));
    EXPECT_EQ("Maker", CardTypeFrom("D 4E44 Chip\r\nO 1002 Maker\r\nS 0003 Other\r\n"));
    // Makers and boards count only inside the block of a matching chip.
    EXPECT_EQ("???", CardTypeFrom("O 1002 Maker\r\nS 0002 Board\r\nD 4E45 Other chip\r\n"
                                  "O 1002 Its maker\r\nS 0002 Its board\r\n"));
    EXPECT_EQ("Chip", CardTypeFrom("D 4E44 Chip\r\nD 4E45 Other\r\nS 0002 Board\r\n"));
    // A board's match ends the block: later boards and makers of that block are ignored.
    EXPECT_EQ("First", CardTypeFrom("D 4E44 Chip\r\nS 0002 First\r\nS 0002 Second\r\n"
                                    "O 1002 Maker\r\n"));
    // The whole file is read and the last match stays.
    EXPECT_EQ("Later", CardTypeFrom("D 4E44 Earlier\r\nS 0002 Board\r\nD 4E44 Later\r\n"));
    EXPECT_EQ("Later board", CardTypeFrom("D 4E44 Earlier\r\nD 4E44 Later\r\nO 1002 Maker\r\n"
                                          "S 0002 Later board\r\n"));
}

TEST_F(AdapterDiscoveryTest, CardTypeReadsRecordsByColumn) {
    // Identifiers are compared as written; separators are not examined.
    EXPECT_EQ("???", CardTypeFrom("D 4e44 Lower case\r\n"));
    EXPECT_EQ("Chip", CardTypeFrom("D\t4E44\tChip"));
    // Lines end at CR LF, LF or CR; empty lines and other kinds are skipped.
    EXPECT_EQ("Board", CardTypeFrom("; comment\n\nD 4E44 Chip\rX 0002 x\r\rS 0002 Board"));
    // A record too short for its identifier never matches; one without a name names nothing.
    EXPECT_EQ("???", CardTypeFrom("D 4E4\r\nD\r\n"));
    EXPECT_EQ("", CardTypeFrom("D 4E44"));
    EXPECT_EQ("", CardTypeFrom("D 4E44 \r\n"));
    EXPECT_EQ("", CardTypeFrom("D 4E44 Chip\r\nS 0002\r\n"));
    EXPECT_EQ("???", CardTypeFrom(""));
}

TEST_F(AdapterDiscoveryTest, CardTypeNeedsAReadableDatabase) {
    EXPECT_FALSE(LookUpCardType(win.files, "C:\\Cadenzo\\ati.pci", adapter));
    win.files.Put("C:\\Cadenzo\\ati.pci", "D 4E44 Chip\r\n");
    win.files.MakeUnreadable("C:\\Cadenzo\\ati.pci");
    EXPECT_FALSE(LookUpCardType(win.files, "C:\\Cadenzo\\ati.pci", adapter));
}

}  // namespace
