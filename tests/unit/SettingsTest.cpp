// The settings key: the install directory and the language file name kept in it.

#include <gtest/gtest.h>

#include "platform/fake/FakeWindows.h"
#include "services/Settings.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    platform::Platform os = win.Os();
};

TEST_F(SettingsTest, InstallDirIsTheCurrentDirectoryOnceSaved) {
    EXPECT_EQ(".", GetInstallDir(win.registry));
    EXPECT_EQ(".\\ati.pci", InstallPath(GetInstallDir(win.registry), "ati.pci"));
    win.registry.SeedKey(SettingsKey);
    win.system.currentDirectory = "C:\\Program Files\\Cadenzo";
    SaveInstallDir(os);
    EXPECT_EQ("C:\\Program Files\\Cadenzo", GetInstallDir(win.registry));
    EXPECT_EQ("C:\\Program Files\\Cadenzo\\backup.dat",
              InstallPath(GetInstallDir(win.registry), "backup.dat"));
    EXPECT_EQ(std::string("C:\\Program Files\\Cadenzo").size() + 1,
              win.registry.Value(SettingsKey, "InstallDir")->size);  // with its terminator
}

TEST_F(SettingsTest, InstallDirStoredByAnotherToolLosesOnlyItsTerminator) {
    win.registry.SeedString(SettingsKey, "InstallDir", "D:\\Tools");
    EXPECT_EQ("D:\\Tools", GetInstallDir(win.registry));
    win.registry.Seed(SettingsKey, "InstallDir", platform::RegSz,
                      {'D', ':', '\\', 'X', 0, 0});  // two NULs: only the last goes
    EXPECT_EQ(std::string("D:\\X\0", 5), GetInstallDir(win.registry));
}

TEST_F(SettingsTest, SaveLangFileNameWritesTheNameAsLastRead) {
    win.registry.SeedKey(SettingsKey);
    SaveLangFileName(win.registry, "Deutsch.lng");
    auto v = win.registry.Value(SettingsKey, "LangFileName");
    EXPECT_EQ(std::vector<std::uint8_t>({'D', 'e', 'u', 't', 's', 'c', 'h', '.', 'l', 'n', 'g', 0}),
              v->data);
    SaveLangFileName(win.registry, "");
    EXPECT_EQ(std::vector<std::uint8_t>{0}, win.registry.Value(SettingsKey, "LangFileName")->data);
}

}  // namespace
