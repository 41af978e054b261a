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

// Strings are stored with their terminator, which readers that take the last byte for it need;
// reading takes exactly one terminator away, so a text stored, read and stored again keeps its
// bytes, whoever stored it first.
TEST_F(RegistryValuesTest, StringsAreStoredWithTheirTerminatorAndReadWithoutIt) {
    using namespace std::string_literals;
    reg.SeedKey(kKey);
    EXPECT_EQ(RegDone, WriteRegString(reg, kKey, "S", "C:\\Program Files\\Cadenzo"));
    auto stored = reg.Value(kKey, "S");
    EXPECT_EQ(platform::RegSz, stored->type);
    EXPECT_EQ(Bytes("C:\\Program Files\\Cadenzo\0"s), stored->data);

    std::string text = "preset";
    EXPECT_EQ(RegDone, ReadRegString(reg, kKey, "S", text));
    EXPECT_EQ("C:\\Program Files\\Cadenzo", text);
    EXPECT_EQ(RegDone, ReadRegBytes(reg, kKey, "S", text));
    EXPECT_EQ("C:\\Program Files\\Cadenzo\0"s, text);

    // Without a terminator (older versions), with one (other tools), with two: each read and
    // stored again ten times comes back with one terminator, the same bytes every time.
    for (const std::string& bytes : {"16"s, "16\0"s, "16\0\0"s, ""s, "\0"s}) {
        SCOPED_TRACE(bytes);
        reg.Seed(kKey, "V", platform::RegSz, Bytes(bytes));
        std::string first;
        for (int i = 0; i < 10; ++i) {
            ASSERT_EQ(RegDone, ReadRegString(reg, kKey, "V", text));
            EXPECT_EQ(
                bytes.substr(0, bytes.empty() || bytes.back() ? bytes.size() : bytes.size() - 1),
                text);
            ASSERT_EQ(RegDone, WriteRegString(reg, kKey, "V", text));
            std::vector<std::uint8_t> data = reg.Value(kKey, "V")->data;
            std::string now(data.begin(), data.end());
            if (i == 0) first = now;
            EXPECT_EQ(first, now);
            EXPECT_EQ('\0', now.back());
        }
    }
    text = "preset";
    EXPECT_EQ(RegValueFailed, ReadRegString(reg, kKey, "Missing", text));
    EXPECT_EQ("preset", text);
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

// The kept record's lists and the monitor's EDID: binary only, up to the size the caller allows;
// the write makes the key it needs.
TEST_F(RegistryValuesTest, BinaryValuesAreReadUpToTheirLimitAndWrittenIntoAKeyMadeForThem) {
    const std::string key = std::string(kKey) + "\\Made";
    EXPECT_FALSE(RegKeyOpens(reg, key));
    EXPECT_FALSE(RegKeyOpens(reg, ""));  // never HKEY_LOCAL_MACHINE itself
    EXPECT_EQ(RegDone, WriteRegBinary(reg, key, "List", {1, 2, 3}));
    EXPECT_TRUE(RegKeyOpens(reg, key));
    EXPECT_EQ(platform::RegBinary, reg.Value(key, "List")->type);

    reg.Seed(key, "Text", platform::RegSz, Bytes("abc"));
    std::vector<std::uint8_t> bytes{9};
    EXPECT_EQ(RegValueFailed, ReadRegBinary(reg, key, "List", 2, bytes));  // longer than allowed
    EXPECT_EQ(RegValueFailed, ReadRegBinary(reg, key, "Text", 16, bytes));
    EXPECT_EQ(std::vector<std::uint8_t>{9}, bytes);
    EXPECT_EQ(RegDone, ReadRegBinary(reg, key, "List", 3, bytes));
    EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 3}), bytes);
    EXPECT_EQ(0u, reg.OpenKeyCount());
}

}  // namespace
