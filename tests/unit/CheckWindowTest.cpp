// The check of the new modes, with the timer driven by hand: the texts of each count, the
// fall-back to the lowest rate, the undo of the pending change and the restart at the end, and
// the sounds of each.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/Restart.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Lines = std::vector<std::string>;

class CheckWindowTest : public demo::ProgramTest {
protected:
    TForm5* check = nullptr;

    void SetUp() override {
        // OK began the change at 1024x768 and 60 Hz, after its backup of the driver key.
        SetMode(60);
        win.registry.SeedDword(demo::DriverKey, "DisableTiling", 1);
        ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, LastKnownGoodFile));
        BeginChange(os, LastKnownGoodFile, demo::DriverKey);
        win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
        // After the restart the display runs, and Windows has stored, 85 Hz.
        SetMode(85);
        win.display.devices[0].stored = win.display.devices[0].current;
        win.system.commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\" /CHECK";
        program.CreateMainWindow().Paint();
        check = program.CheckWindow();
    }
    void SetMode(std::uint32_t rate) {
        auto& device = win.display.devices[0];
        for (std::size_t i = 0; i < device.modes.size(); ++i) {
            if (device.modes[i].width == 1024 && device.modes[i].frequency == rate)
                device.current = i;
        }
    }
    std::uint32_t StoredRate() {
        platform::DisplayMode mode;
        win.display.EnumMode(demo::DeviceName, platform::EnumRegistrySettings, 0, &mode);
        return mode.frequency;
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
    EXPECT_EQ(1u, regedit.exported.size());  // OK's, none of its own
}

TEST_F(CheckWindowTest, FirstCountFallsBackToTheLowestRateFrom60Up) {
    Tick(1);
    EXPECT_EQ("Minimal refresh rate will be automatically selected in 14 seconds",
              check->Label2.Caption());
    Tick(13);
    EXPECT_EQ(85u, CurrentRate());  // nothing happens before the count reaches 0
    // One change of the mode, tested first, and not stored: the next start of Windows still
    // uses what is stored.
    std::size_t changes = win.display.changes.size();
    Tick(1);
    EXPECT_EQ(60u, CurrentRate());
    EXPECT_EQ(changes + 1, win.display.changes.size());
    EXPECT_EQ(85u, StoredRate());
    EXPECT_EQ(1024u, win.display.devices[0].modes[win.display.devices[0].current].width);
    EXPECT_EQ("Minimal refresh rate selected. If you can read this message, click \"OK\".",
              check->Label1.Caption());
    EXPECT_EQ("Settings will be automatically restored from backup in 15 seconds",
              check->Label2.Caption());
    Tick(1);
    EXPECT_EQ("Settings will be automatically restored from backup in 14 seconds",
              check->Label2.Caption());
}

TEST_F(CheckWindowTest, SecondCountUndoesTheChangeAndItsStoredModeThenRestarts) {
    // The start's own backup holds the unconfirmed change: it is never what comes back.
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
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
    EXPECT_EQ(std::vector<std::string>{"C:\\Cadenzo\\lastknowngood.dat"}, regedit.imported);
    EXPECT_EQ(1u, win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]);
    EXPECT_EQ(ChangeState::Undone, ReadChange(win.registry).state);
    // The mode from before the change is stored and in force again.
    EXPECT_EQ(60u, StoredRate());
    EXPECT_EQ(60u, CurrentRate());
    // The driver key stays quiet for three polls after the switch, then the minute before the
    // restart, which does not wait for programs that hang.
    EXPECT_EQ((std::vector<std::uint32_t>{100, 100, 100, 60000}), win.system.sleeps);
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot | platform::EwxForceIfHung},
              win.system.exitWindowsCalls);
    Tick(1);
    EXPECT_EQ("Settings will be automatically restored from backup in 255 seconds",
              check->Label2.Caption());
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());  // stopped: nothing happens any more
    EXPECT_EQ((Lines{"W Fall-back to the lowest rate: 1024x768 at 60 Hz",
                     "W Change undone: lastknowngood.dat"}),
              demo::EventLogEntries(win));
}

TEST_F(CheckWindowTest, AnUndoThatDoesNotGoInTakesFirstRunThenTriesThreeTimesAndSaysSo) {
    // Nobody may be able to read the screen: no message may hold up the restart, not even one
    // about the shutdown privilege.
    win.system.privilegeHeld = false;
    std::string before = *win.files.ReadAll("C:\\Cadenzo\\lastknowngood.dat");
    win.files.Put("C:\\Cadenzo\\lastknowngood.dat", "not a registry file");
    Tick(30);
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    EXPECT_EQ("E Restore failed: the check's fall-back: lastknowngood.dat did not go in",
              demo::EventLogEntries(win).back());
    // Not undone: the check stays armed and tries again after the restart.
    EXPECT_EQ(ChangeState::Pending, ReadChange(win.registry).state);
    EXPECT_TRUE(win.registry.Value(RunOnceKey, RunOnceValue));

    // firstrun.dat is the next best.
    win.files.Put("C:\\Cadenzo\\firstrun.dat", before);
    EXPECT_EQ(UndoResult::Undone, UndoChange(os, HistoryEvent::ChangeUndone, "the test"));
    EXPECT_EQ("W Change undone: firstrun.dat", demo::EventLogEntries(win).back());
    EXPECT_EQ(1u, win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]);

    // With nothing that goes in, three tries, then the check is disarmed and the next ordinary
    // start says so once.
    BeginChange(os, LastKnownGoodFile, demo::DriverKey);
    win.files.Put("C:\\Cadenzo\\firstrun.dat", "not a registry file");
    EXPECT_EQ(UndoResult::NotYet, UndoChange(os, HistoryEvent::ChangeUndone, "the test"));
    EXPECT_EQ(UndoResult::NotYet, UndoChange(os, HistoryEvent::ChangeUndone, "the test"));
    EXPECT_EQ(UndoResult::GaveUp, UndoChange(os, HistoryEvent::ChangeUndone, "the test"));
    EXPECT_FALSE(win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_TRUE(TakeChangeNotUndone(os));
    EXPECT_FALSE(TakeChangeNotUndone(os));
}

TEST_F(CheckWindowTest, FallBackImportsOnceTheDriverKeyStopsChanging) {
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

    // A change armed by an older version names no driver key: there is nothing to wait for.
    win.system.sleeps.clear();
    win.registry.onWriteTimeAsked = nullptr;
    BeginChange(os, LastKnownGoodFile, "");
    TForm5 noKey(program.app, program.os, program.language, demo::DeviceName);
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

    EXPECT_EQ(ChangeState::Confirmed, ReadChange(win.registry).state);

    check->Check = CheckState{};
    check->bCancel.Click();  // Cancel in the first phase: the second one starts at once
    EXPECT_EQ(60u, CurrentRate());
    EXPECT_EQ(85u, StoredRate());
    check->bOK.Click();  // the lowest rate confirmed is what Windows starts with from now on
    EXPECT_EQ(60u, CurrentRate());
    EXPECT_EQ(60u, StoredRate());
    Tick(40);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());
    EXPECT_EQ((Lines{"I Check confirmed: the new rates",
                     "W Fall-back to the lowest rate: 1024x768 at 60 Hz",
                     "I Check confirmed: the lowest rate"}),
              demo::EventLogEntries(win));
}

TEST_F(CheckWindowTest, TheLastFiveSecondsOfEachCountTickAloudAndEachEndSoundsItsOwn) {
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

TEST(SelectMinimalRefreshTest, OneChangeOnTheSameDeviceAndNoneToTheRateInForce) {
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
    EXPECT_TRUE(SelectMinimalRefresh(display, "\\\\.\\DISPLAY2"));
    EXPECT_EQ(60u, display.devices[0].modes[display.devices[0].current].frequency);
    EXPECT_EQ(85u, display.devices[1].modes[display.devices[1].current].frequency);
    EXPECT_EQ(1u, display.changes.size());
    // Already at its lowest rate from 60 Hz up (the driver refuses the rest): nothing changes.
    display.devices[1].modes = {platform::MakeMode(1280, 1024, 32, 56),
                                platform::MakeMode(1280, 1024, 32, 85)};
    display.devices[1].current = 1;
    EXPECT_FALSE(SelectMinimalRefresh(display, "\\\\.\\DISPLAY1"));
    EXPECT_EQ(1u, display.changes.size());
}

// The undo stores the mode from before the change; while the driver still refuses it, nothing
// else is stored: each rate it offers then may be the one the monitor cannot show.
TEST(StoreModesAgainTest, StoresTheModeFromBeforeOrNothing) {
    platform::FakeDisplay display;
    auto& device = display.AddDevice(
        "\\\\.\\DISPLAY1", "RADEON 9700 PRO",
        platform::DisplayDeviceAttachedToDesktop | platform::DisplayDevicePrimaryDevice, "");
    display.AddModes(device, 1024, 768, {75, 85});
    device.current = 1;
    device.stored = 1;
    auto stored = [&display] {
        platform::DisplayMode mode;
        display.EnumMode("\\\\.\\DISPLAY1", platform::EnumRegistrySettings, 0, &mode);
        return mode.frequency;
    };
    StoreModesAgain(display, {{"\\\\.\\DISPLAY1", 1024, 768, 32, 60}});
    EXPECT_EQ(85u, stored());
    StoreModesAgain(display, {{"\\\\.\\DISPLAY1", 1024, 768, 32, 75}});
    EXPECT_EQ(75u, stored());
    EXPECT_EQ(75u, display.devices[0].modes[display.devices[0].current].frequency);
}

TEST_F(CheckWindowTest, ClosingTheWindowDoesNotStopTheCount) {
    check->UserClose();
    EXPECT_FALSE(check->Visible());
    Tick(15);
    EXPECT_EQ(60u, CurrentRate());
}

// Closing the main window during the check only hides it: the program stays until the check is
// answered, or the next logon would undo the change unasked.
TEST(CheckModeTest, ClosingTheMainWindowLeavesTheProgramToTheCheck) {
    struct Loop : ui::Backend {
        int quits = 0;
        void Realize(ui::Form&) override {}
        void Forget(ui::Form&) override {}
        void Run() override {}
        void Quit() override { ++quits; }
    };
    platform::FakeWindows win;
    platform::FakeRegedit regedit{win};
    demo::SeedAdapter(win);
    for (bool visible : {false, true}) {
        Loop loop;
        platform::Platform os = win.Os();
        ui::Application app{win.boxes, &loop};
        Program program{os, app};
        win.system.commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\" /CHECK";
        TForm1& form = program.CreateMainWindow();
        form.Paint();
        if (!visible) form.UserClose();
        EXPECT_EQ(visible, form.Visible());
        EXPECT_EQ(0, loop.quits);
        program.CheckWindow()->bOK.Click();
        // Answered: a hidden main window ends the program; a shown one is the user's to close.
        EXPECT_EQ(visible ? 0 : 1, loop.quits);
        if (visible) {
            form.UserClose();
            EXPECT_EQ(1, loop.quits);
        }
    }
}

}  // namespace
