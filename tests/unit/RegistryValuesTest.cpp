// The value helpers against the in-memory registry: what a caller gets back, and what bytes
// the driver or another tool would find stored.

#include <gtest/gtest.h>

#include "platform/fake/FakeWindows.h"
#include "services/RegistryValues.h"

namespace {

constexpr char kKey[] = "SOFTWARE\\Test";

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class RegistryValuesTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    platform::FakeRegistry& reg = win.registry;
};

TEST_F(RegistryValuesTest, ReadRegWordTakesTheLowHalfOfADword) {
    reg.SeedDword(kKey, "Big", 0x00012345);
    reg.SeedDword(kKey, "Small", 7);
    std::uint16_t big = 0xFF, small = 0xFF;
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "Big", big));
    EXPECT_EQ(0x2345, big);
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "Small", small));
    EXPECT_EQ(7, small);
}

TEST_F(RegistryValuesTest, ReadRegWordKeepsThePresetWhenItCannotRead) {
    reg.Seed(kKey, "Eight", platform::RegBinary, {1, 2, 3, 4, 5, 6, 7, 8});
    std::uint16_t v = 0x00FF;
    EXPECT_EQ(RegValueFailed, ReadRegWord(reg, kKey, "Eight", v));
    EXPECT_EQ(0x00FF, v);
    EXPECT_EQ(RegValueFailed, ReadRegWord(reg, kKey, "Missing", v));
    EXPECT_EQ(RegKeyNotOpened, ReadRegWord(reg, "SOFTWARE\\Nowhere", "Eight", v));
    EXPECT_EQ(0x00FF, v);
    EXPECT_EQ(0u, reg.OpenKeyCount());
}

TEST_F(RegistryValuesTest, ReadRegWordIgnoresTheTypeAndZeroFillsShortValues) {
    reg.Seed(kKey, "Text", platform::RegSz, Bytes("AB"));
    reg.Seed(kKey, "One", platform::RegBinary, {0x11});
    reg.Seed(kKey, "Empty", platform::RegBinary, {});
    std::uint16_t text = 0, one = 0, empty = 0xFF;
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "Text", text));
    EXPECT_EQ(0x4241, text);
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "One", one));
    EXPECT_EQ(0x11, one);
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "Empty", empty));
    EXPECT_EQ(0, empty);
}

TEST_F(RegistryValuesTest, WriteRegDwordStoresAZeroExtendedDword) {
    reg.SeedKey(kKey);
    EXPECT_EQ(RegDone, WriteRegDword(reg, kKey, "N", 0xBEEF));
    auto v = reg.Value(kKey, "N");
    ASSERT_TRUE(v);
    EXPECT_EQ(platform::RegDword, v->type);
    EXPECT_EQ((std::vector<std::uint8_t>{0xEF, 0xBE, 0, 0}), v->data);
}

TEST_F(RegistryValuesTest, WritesWithoutAdministratorRightsReportTheKeyNotOpened) {
    reg.SeedDword(kKey, "N", 1);
    reg.ProtectFromWrites("SOFTWARE");
    EXPECT_EQ(RegKeyNotOpened, WriteRegDword(reg, kKey, "N", 5));
    EXPECT_EQ(RegKeyNotOpened, WriteRegString(reg, kKey, "S", "x"));
    EXPECT_EQ((std::vector<std::uint8_t>{1, 0, 0, 0}), reg.Value(kKey, "N")->data);
    std::uint16_t v = 0;
    EXPECT_EQ(RegDone, ReadRegWord(reg, kKey, "N", v));  // reading still works
    EXPECT_EQ(RegKeyNotOpened, WriteRegString(reg, "SOFTWARE\\Missing", "S", "x"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Missing"));
}

TEST_F(RegistryValuesTest, StringsRoundTripWithoutTerminator) {
    reg.SeedKey(kKey);
    EXPECT_EQ(RegDone, WriteRegString(reg, kKey, "S", "C:\\Program Files\\Cadenzo"));
    auto stored = reg.Value(kKey, "S");
    EXPECT_EQ(platform::RegSz, stored->type);
    EXPECT_EQ(Bytes("C:\\Program Files\\Cadenzo"), stored->data);

    std::string text = "preset";
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "S", text));
    EXPECT_EQ("C:\\Program Files\\Cadenzo", text);

    reg.SeedString(kKey, "Other", "abc");  // as another tool stores it
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "Other", text));
    EXPECT_EQ(std::string("abc\0", 4), text);

    EXPECT_EQ(RegDone, WriteRegString(reg, kKey, "Empty", ""));
    EXPECT_EQ(0u, reg.Value(kKey, "Empty")->size);
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "Empty", text));
    EXPECT_EQ("", text);
}

TEST_F(RegistryValuesTest, ReadRegBytesTakesAtMost250Bytes) {
    reg.Seed(kKey, "Fits", platform::RegBinary, std::vector<std::uint8_t>(250, 'a'));
    reg.Seed(kKey, "TooLong", platform::RegBinary, std::vector<std::uint8_t>(251, 'b'));
    reg.SeedDword(kKey, "Number", 0x64636261);
    std::string text = "preset";
    EXPECT_EQ(RegValueFailed, ReadRegBytes(reg, kKey, "TooLong", text));
    EXPECT_EQ("preset", text);
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "Fits", text));
    EXPECT_EQ(std::string(250, 'a'), text);
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "Number", text));
    EXPECT_EQ("abcd", text);
}

}  // namespace
