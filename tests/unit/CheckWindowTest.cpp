// The check of the new modes, with the timer driven by hand: the texts of each count, the
// fall-back to the lowest rate, the restore and restart at the end, and the sounds of each.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "safety/Backups.h"
#include "services/Restart.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Lines = std::vector<std::string>;

class CheckWindowTest : public demo::ProgramTest {
protected:
    TForm5* check = nullptr;

    void SetUp() override {
        win.system.commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\" /CHECK";
        // The display runs 1024x768 at 85 Hz, as the applied settings asked.
        auto& device = win.display.devices[0];
        for (std::size_t i = 0; i < device.modes.size(); ++i) {
            if (device.modes[i].width == 1024 && device.modes[i].frequency == 85)
                device.current = i;
        }
        program.CreateMainWindow().Paint();
        check = program.CheckWindow();
    }
    void Tick(int n) {
        for (int i = 0; i < n; ++i)
            check->Timer1.Tick();
    }
    // The sounds each of `n` ticks made, a letter a sound (t tick, L lowest rate, R restoring),
    // the ticks parted by "|".
    std::string Heard(int n) {
        std::string heard;
        for (int i = 0; i < n; ++i) {
            std::size_t before = win.system.sounds.size();
            Tick(1);
            if (i > 0) heard += "|";
            for (std::size_t k = before; k < win.system.sounds.size(); ++k)
                heard += "tLR"[static_cast<int>(win.system.sounds[k])];
        }
        return heard;
    }
    std::uint32_t CurrentRate() {
        return win.display.devices[0].modes[win.display.devices[0].current].frequency;
    }
};

TEST_F(CheckWindowTest, OpensOnTopInsteadOfTheStartBackup) {
    ASSERT_NE(nullptr, check);
    EXPECT_TRUE(check->Visible());
    EXPECT_TRUE(check->StayOnTop());
    EXPECT_EQ("Cadenzo - Checking Video Modes...", check->Caption());
    EXPECT_EQ((ui::Rect{0, 0, 494, 77}), check->Place());
    EXPECT_EQ("Minimal refresh rate will be automatically selected in", check->Label2.Caption());
    EXPECT_TRUE(regedit.exported.empty());
}

TEST_F(CheckWindowTest, FirstCountFallsBackToTheLowestRateFrom60Up) {
    Tick(1);
    EXPECT_EQ("Minimal refresh rate will be automatically selected in 14 seconds",
              check->Label2.Caption());
    Tick(13);
    EXPECT_EQ(85u, CurrentRate());  // nothing happens before the count reaches 0
    Tick(1);
    EXPECT_EQ(60u, CurrentRate());
    EXPECT_EQ(1024u, win.display.devices[0].modes[win.display.devices[0].current].width);
    EXPECT_EQ("Minimal refresh rate selected. If you can read this message, click \"OK\".",
              check->Label1.Caption());
    EXPECT_EQ("Settings will be automatically restored from backup in 15 seconds",
              check->Label2.Caption());
    Tick(1);
    EXPECT_EQ("Settings will be automatically restored from backup in 14 seconds",
              check->Label2.Caption());
}

TEST_F(CheckWindowTest, SecondCountRestoresTheBackupThenRestarts) {
    win.files.Put("backup.dat", "");
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 1);
    ASSERT_TRUE(ExportDriverKey(program.os, demo::DriverKey, "backup.dat"));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    // The check is armed again while the import runs, so that a machine stopping in it checks
    // again at the next logon; once the import is over, the restart does not bring it back.
    bool armedDuringImport = false;
    auto editor = win.shell.onStart;
    win.shell.onStart = [&](const platform::Launch& launch) {
        armedDuringImport = win.registry.Value(RunOnceKey, RunOnceValue).has_value();
        return editor(launch);
    };
    Tick(15);
    Tick(15);
    EXPECT_TRUE(armedDuringImport);
    EXPECT_FALSE(win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_EQ(std::vector<std::string>{"C:\\Cadenzo\\backup.dat"}, regedit.imported);
    EXPECT_EQ(1u, win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]);
    // The driver key stays quiet for three polls after the switch, then the minute before the
    // restart.
    EXPECT_EQ((std::vector<std::uint32_t>{100, 100, 100, 60000}), win.system.sleeps);
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot}, win.system.exitWindowsCalls);
    Tick(1);
    EXPECT_EQ("Settings will be automatically restored from backup in 255 seconds",
              check->Label2.Caption());
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());  // stopped: nothing happens any more
    EXPECT_EQ((Lines{"W Fall-back to the lowest rate: 1024x768 at 60 Hz", "W backup.dat restored"}),
              demo::EventLogEntries(win));
    EXPECT_EQ((Lines{"Fall-back to the lowest rate: 1024x768 at 60 Hz", "backup.dat restored"}),
              demo::HistoryLines(win));
}

TEST_F(CheckWindowTest, WithoutItsBackupTheFallBackStillRestartsAndAsksNothing) {
    // Nobody may be able to read the screen: no message may hold up the restart, not even one
    // about the shutdown privilege.
    win.system.privilegeHeld = false;
    Tick(30);
    EXPECT_TRUE(regedit.imported.empty());
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot}, win.system.exitWindowsCalls);
    EXPECT_EQ("E Restore failed: the check's fall-back: backup.dat did not go in",
              demo::EventLogEntries(win).back());
}

TEST_F(CheckWindowTest, FallBackImportsOnceTheDriverKeyStopsChanging) {
    win.files.Put("backup.dat", "");
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 1);
    ASSERT_TRUE(ExportDriverKey(program.os, demo::DriverKey, "backup.dat"));
    // After the fall-back's switch the system deletes and rebuilds the driver key a few times, as
    // Wine does, each time without the imported value.
    check->Check.FirstPhase = false;
    std::size_t switched = win.display.changes.size() + 1;
    int rebuilds = 3;
    win.registry.onWriteTimeAsked = [&](const std::string&) {
        if (win.display.changes.size() < switched || rebuilds == 0) return;
        --rebuilds;
        win.registry.DeleteKeyTree(demo::DriverKey);
        win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    };
    check->bCancel.Click();
    EXPECT_EQ(1u, win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]);
    std::vector<std::uint32_t> sleeps(6, 100);  // three polls see a rebuild, three do not
    sleeps.push_back(60000);
    EXPECT_EQ(sleeps, win.system.sleeps);

    // A key that never settles delays the import by five seconds at most.
    win.system.sleeps.clear();
    switched = win.display.changes.size() + 1;
    rebuilds = 1000;
    check->bCancel.Click();
    sleeps.assign(50, 100);
    sleeps.push_back(60000);
    EXPECT_EQ(sleeps, win.system.sleeps);
    EXPECT_EQ(2u, regedit.imported.size());
    EXPECT_EQ(2u, win.system.exitWindowsCalls.size());

    // Without a driver key there is nothing to wait for.
    win.system.sleeps.clear();
    TForm5 noKey(program.app, program.os, program.language, demo::DeviceName, "");
    noKey.Check.FirstPhase = false;
    noKey.bCancel.Click();
    EXPECT_EQ(std::vector<std::uint32_t>{60000}, win.system.sleeps);
}

TEST_F(CheckWindowTest, OkStopsTheCountInEitherPhase) {
    check->bOK.Click();
    EXPECT_FALSE(check->Visible());
    Tick(40);
    EXPECT_EQ(85u, CurrentRate());
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());

    check->Check = CheckState{};
    check->bCancel.Click();  // Cancel in the first phase: the second one starts at once
    EXPECT_EQ(60u, CurrentRate());
    check->bOK.Click();
    EXPECT_EQ(60u, CurrentRate());
    Tick(40);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());
    EXPECT_EQ((Lines{"I Check confirmed: the new rates",
                     "W Fall-back to the lowest rate: 1024x768 at 60 Hz",
                     "I Check confirmed: the lowest rate"}),
              demo::EventLogEntries(win));
}

TEST_F(CheckWindowTest, TheLastFiveSecondsOfEachCountTickAloudAndEachEndSoundsItsOwn) {
    win.files.Put("backup.dat", "");
    ASSERT_TRUE(ExportDriverKey(program.os, demo::DriverKey, "backup.dat"));
    // The restore's sound comes before the import and the restart, which may take a while.
    std::size_t heardAtImport = 0;
    auto editor = win.shell.onStart;
    win.shell.onStart = [&](const platform::Launch& launch) {
        heardAtImport = win.system.sounds.size();
        return editor(launch);
    };
    const std::string count = "|||||||||t|t|t|t|t|";  // 14 to 1 seconds left, then the end
    EXPECT_EQ(count + "L", Heard(15));
    EXPECT_EQ(count + "R", Heard(15));
    EXPECT_EQ(12u, heardAtImport);
    EXPECT_EQ("|||", Heard(4));  // stopped: silent
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
}

TEST_F(CheckWindowTest, OkSilencesTheCountAndCancelSoundsTheSwitchAtOnce) {
    Tick(12);
    check->bOK.Click();
    EXPECT_EQ("|||||", Heard(6));
    EXPECT_EQ(3u, win.system.sounds.size());  // the three ticks before OK

    check->Check = CheckState{};
    win.system.sounds.clear();
    check->bCancel.Click();
    EXPECT_EQ(std::vector<platform::Sound>{platform::Sound::LowestRate}, win.system.sounds);
}

TEST(SelectMinimalRefreshTest, ReadsAndChangesTheSameDevice) {
    // Adapter 0 drives a second monitor; another adapter's is the primary display.
    platform::FakeDisplay display;
    auto& second = display.AddDevice("\\\\.\\DISPLAY2", "RADEON 9700 PRO",
                                     platform::DisplayDeviceAttachedToDesktop, "");
    display.AddModes(second, 1024, 768, {60, 70, 75, 85});
    second.current = 3;
    auto& primary = display.AddDevice(
        "\\\\.\\DISPLAY1", "Other",
        platform::DisplayDeviceAttachedToDesktop | platform::DisplayDevicePrimaryDevice, "");
    display.AddModes(primary, 1280, 1024, {60, 75, 85});
    primary.current = 2;
    SelectMinimalRefresh(display, "\\\\.\\DISPLAY2", false);
    EXPECT_EQ(60u, display.devices[0].modes[display.devices[0].current].frequency);
    EXPECT_EQ(85u, display.devices[1].modes[display.devices[1].current].frequency);
}

TEST_F(CheckWindowTest, ClosingTheWindowDoesNotStopTheCount) {
    check->UserClose();
    EXPECT_FALSE(check->Visible());
    Tick(15);
    EXPECT_EQ(60u, CurrentRate());
}

}  // namespace
