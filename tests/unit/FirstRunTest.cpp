// The first start of this version: when the driver's restrictions are cleared, that they are
// cleared only after their backup exists, and in which order.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class FirstRunTest : public demo::ProgramTest {
protected:
    void SetUp() override {
        win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary,
                          {0x10, 0x24, 0x07, 0x68, 0, 0, 0, 0x43});
    }
    // A normal start; true when the program ended in its first paint.
    bool Start() {
        try {
            program.CreateMainWindow().Paint();
        } catch (const platform::ProcessEnded&) {
            return true;
        }
        return false;
    }
    std::optional<platform::RegValue> Driver(const std::string& name) {
        return win.registry.Value(demo::DriverKey, name);
    }
    std::string Version() {
        auto v = win.registry.Value(SettingsKey, "Version");
        return v ? std::string(v->data.begin(), v->data.end()) : "";
    }
};

TEST_F(FirstRunTest, AStartWithoutAStoredVersionClearsAfterTheBackupAndEnds) {
    win.registry.DeleteKeyTree(SettingsKey);
    win.registry.Seed(demo::DriverKey, "DALOPTION_MinResBCD", platform::RegDword, {1, 0, 0, 0});
    win.registry.SeedDword(demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE", 1);
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(Start());
    ASSERT_EQ(2u, regedit.exported.size());  // backup.dat, then firstrun.dat
    EXPECT_NE(std::string::npos, regedit.exported[1].find("firstrun.dat"));
    // firstrun.dat holds the restrictions as they were.
    EXPECT_NE(std::string::npos,
              platform::FakeRegedit::Text(*win.files.Contents("firstrun.dat"))
                  .find("\"DALRestrictedModesBCD\"=hex:10,24,07,68,00,00,00,43"));
    for (const char* list :
         {"DALRestrictedModesBCD", "DALRestrictedModesBCD1", "DALRestrictedModesBCD2",
          "DALRestrictedModesBCD3", "DALOPTION_MinResBCD"}) {
        ASSERT_TRUE(Driver(list)) << list;
        EXPECT_EQ(platform::RegBinary, Driver(list)->type) << list;
        EXPECT_EQ(0u, Driver(list)->size) << list;
    }
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Driver("DALRULE_ADDNATIVEMODESTOMODETABLE")->data);
    EXPECT_EQ(std::string("0.98 beta\0", 10), Version());
    EXPECT_EQ("First Run", win.boxes.shown.back().caption);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());
    EXPECT_TRUE(win.system.sleeps.empty());  // the export was waited for instead
}

TEST_F(FirstRunTest, WhatCausesAFirstRunAndWhatDoesNot) {
    struct Case {
        const char* what;
        std::function<void()> seed;
        bool due;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"version 0.89", [&] { win.registry.SeedString(SettingsKey, "Version", "0.89"); }, true},
        {"version 0.90", [&] { win.registry.SeedString(SettingsKey, "Version", "0.90 final"); },
         false},
        {"empty version", [&] { win.registry.Seed(SettingsKey, "Version", platform::RegSz, {}); },
         true},
        {"a second list with data",
         [&] {
             win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD2", platform::RegBinary,
                               {6, 0x40});
         },
         true},
        {"an empty third list",
         [&] {
             win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD3", platform::RegBinary, {});
         },
         false},
        {"a four-byte minimum resolution",
         [&] {
             win.registry.Seed(demo::DriverKey, "DALOPTION_MinResBCD", platform::RegBinary,
                               {6, 0x40, 4, 0x80});
         },
         false},
        {"a longer minimum resolution",
         [&] {
             win.registry.Seed(demo::DriverKey, "DALOPTION_MinResBCD", platform::RegBinary,
                               {6, 0x40, 4, 0x80, 0, 0, 0, 0});
         },
         true},
        {"the native-modes rule",
         [&] { win.registry.SeedDword(demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE", 2); },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        win.registry.SeedString(SettingsKey, "Version", "0.98 beta");
        win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD2", platform::RegBinary, {});
        win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD3", platform::RegBinary, {});
        win.registry.Seed(demo::DriverKey, "DALOPTION_MinResBCD", platform::RegBinary, {});
        win.registry.SeedDword(demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE", 0);
        c.seed();
        program.FirstPaint = true;
        program.FirstRunNeeded = false;
        win.boxes.answers = {platform::Answer::No};
        EXPECT_EQ(c.due, Start());
        EXPECT_EQ(std::string("0.98 beta\0", 10), Version());  // written at every normal start
        win.boxes.answers.clear();
    }
}

TEST_F(FirstRunTest, WithoutItsBackupNothingIsClearedAndTheNextStartTriesAgain) {
    win.registry.DeleteKeyTree(SettingsKey);
    regedit.exportsFail = true;
    EXPECT_FALSE(Start());
    EXPECT_EQ(
        "The registry backup \"firstrun.dat\" could not be written, so the driver's "
        "restrictions were not cleared. Cadenzo will try again at its next start.",
        win.boxes.shown.back().text);
    EXPECT_EQ(8u, Driver("DALRestrictedModesBCD")->size);
    EXPECT_EQ("", Version());
}

TEST_F(FirstRunTest, AFirstRunTheMachineStoppedInIsFinishedKeepingItsBackup) {
    // Stopped after the backup and the version, before the clearing was done.
    win.files.Put("firstrun.dat", "the driver key before the first run");
    win.registry.SeedDword(SettingsKey, FirstRunPendingValue, 1);
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(Start());
    EXPECT_EQ(1u, regedit.exported.size());  // backup.dat only
    EXPECT_EQ("the driver key before the first run", *win.files.Contents("firstrun.dat"));
    EXPECT_EQ(0u, Driver("DALRestrictedModesBCD")->size);
    EXPECT_FALSE(win.registry.Value(SettingsKey, FirstRunPendingValue));
}

TEST_F(FirstRunTest, ADriverKeyThatDoesNotOpenIsSaidSoAndNothingIsTried) {
    win.registry.DeleteKeyTree(SettingsKey);
    win.registry.ProtectFromWrites(demo::DriverKey);  // no administrator rights
    EXPECT_FALSE(Start());
    EXPECT_EQ(
        "The display driver's registry key \"" + std::string(demo::DriverKey) +
            "\" could not be opened (are you an administrator?), so the driver's restrictions "
            "were not cleared. Cadenzo will try again at its next start.",
        win.boxes.shown.back().text);
    EXPECT_TRUE(regedit.exported.size() <= 1);  // the start's own backup at most
    EXPECT_EQ(8u, Driver("DALRestrictedModesBCD")->size);
}

TEST_F(FirstRunTest, YesRestartsWindows) {
    win.registry.DeleteKeyTree(SettingsKey);
    win.boxes.answers = {platform::Answer::Yes};
    ASSERT_TRUE(Start());
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot}, win.system.exitWindowsCalls);
}

TEST_F(FirstRunTest, CheckModeNeverRunsIt) {
    win.registry.DeleteKeyTree(SettingsKey);
    win.system.commandLine = "Cadenzo.exe /CHECK";
    EXPECT_FALSE(Start());
    EXPECT_EQ(8u, Driver("DALRestrictedModesBCD")->size);
}

}  // namespace
