// The registry cursor: which key is current after each open, which values it refuses to read,
// and the errors it raises.

#include <gtest/gtest.h>

#include "platform/fake/FakeWindows.h"
#include "services/RegistryCursor.h"

namespace {

constexpr char kDriver[] = "System\\CurrentControlSet\\Control\\Video\\{G}\\0000";

class RegistryCursorTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    platform::FakeRegistry& reg = win.registry;
};

TEST_F(RegistryCursorTest, OpensFromTheRootOrFromTheCurrentKey) {
    reg.SeedKey(kDriver);
    RegistryCursor cursor(reg);
    EXPECT_TRUE(cursor.OpenKey(std::string("\\") + kDriver, false));
    EXPECT_EQ(kDriver, cursor.CurrentPath());
    EXPECT_FALSE(cursor.OpenKey("ddhal", false));  // missing, no creation: stays where it was
    EXPECT_EQ(kDriver, cursor.CurrentPath());
    EXPECT_FALSE(reg.KeyExists(std::string(kDriver) + "\\ddhal"));
    EXPECT_TRUE(cursor.OpenKey("ddhal", true));
    EXPECT_TRUE(reg.KeyExists(std::string(kDriver) + "\\ddhal"));
    EXPECT_EQ(1u, reg.OpenKeyCount());  // the previous key was closed
}

TEST_F(RegistryCursorTest, ReadsBinaryValuesIntoThePresetBuffer) {
    reg.Seed(kDriver, "List", platform::RegBinary, {1, 2, 3});
    reg.Seed(kDriver, "Multi", platform::RegMultiSz, {'a', 0, 0});  // unknown kinds count as binary
    RegistryCursor cursor(reg);
    ASSERT_TRUE(cursor.OpenKey(std::string("\\") + kDriver, false));
    std::uint8_t buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), 0xFF);
    EXPECT_EQ(3u, cursor.ReadBinaryData("List", buffer, sizeof buffer));
    EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 3, 0xFF, 0xFF, 0xFF}),
              std::vector<std::uint8_t>(std::begin(buffer), std::end(buffer)));
    EXPECT_EQ(3u, cursor.ReadBinaryData("Multi", buffer, sizeof buffer));
    EXPECT_EQ(0u, cursor.ReadBinaryData("Missing", buffer, sizeof buffer));
}

TEST_F(RegistryCursorTest, RefusesTextNumbersAndOversizedValues) {
    reg.SeedString(kDriver, "Text", "x");
    reg.SeedDword(kDriver, "Number", 1);
    reg.Seed(kDriver, "Expand", platform::RegExpandSz, {'a', 0});
    reg.Seed(kDriver, "Long", platform::RegBinary, std::vector<std::uint8_t>(9, 0));
    RegistryCursor cursor(reg);
    ASSERT_TRUE(cursor.OpenKey(std::string("\\") + kDriver, false));
    std::uint8_t buffer[8] = {};
    for (const char* name : {"Text", "Number", "Expand", "Long"}) {
        try {
            cursor.ReadBinaryData(name, buffer, sizeof buffer);
            ADD_FAILURE() << name << " was read";
        } catch (const RegistryError& e) {
            EXPECT_EQ(std::string("Invalid data type for '") + name + "'", e.what());
        }
    }
}

TEST_F(RegistryCursorTest, WritesExactBinaryValuesAndReportsFailure) {
    reg.SeedKey(kDriver);
    RegistryCursor cursor(reg);
    std::uint8_t bytes[3] = {9, 8, 7};
    EXPECT_THROW(cursor.WriteBinaryData("List", bytes, 3), RegistryError);  // no current key
    ASSERT_TRUE(cursor.OpenKey(std::string("\\") + kDriver, false));
    cursor.WriteBinaryData("List", bytes, 3);
    cursor.WriteBinaryData("Empty", bytes, 0);
    EXPECT_EQ(platform::RegBinary, reg.Value(kDriver, "List")->type);
    EXPECT_EQ((std::vector<std::uint8_t>{9, 8, 7}), reg.Value(kDriver, "List")->data);
    EXPECT_EQ(0u, reg.Value(kDriver, "Empty")->size);

    reg.ProtectFromWrites(kDriver);
    RegistryCursor denied(reg);
    EXPECT_FALSE(denied.OpenKey(std::string("\\") + kDriver, false));
    try {
        denied.WriteBinaryData("List", bytes, 3);
        ADD_FAILURE() << "write without a key succeeded";
    } catch (const RegistryError& e) {
        EXPECT_STREQ("Failed to set data for 'List'", e.what());
    }
}

TEST_F(RegistryCursorTest, DeletesValuesAndWholeKeys) {
    reg.SeedDword("SOFTWARE\\Korvex\\Cadenzo", "Version", 1);
    reg.SeedDword("SOFTWARE\\Korvex\\Cadenzo\\Sub\\Deeper", "X", 1);
    reg.SeedDword("SOFTWARE\\Korvex\\Other", "Y", 1);
    RegistryCursor cursor(reg);
    ASSERT_TRUE(cursor.OpenKey("\\SOFTWARE\\Korvex\\Cadenzo", false));
    EXPECT_TRUE(cursor.DeleteValue("Version"));
    EXPECT_FALSE(cursor.DeleteValue("Version"));
    EXPECT_TRUE(cursor.DeleteKey("\\SOFTWARE\\Korvex\\Cadenzo"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Korvex\\Cadenzo\\Sub\\Deeper"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Korvex\\Cadenzo"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Korvex\\Other"));
    EXPECT_FALSE(cursor.DeleteKey("\\SOFTWARE\\Korvex\\Cadenzo"));
}

}  // namespace
