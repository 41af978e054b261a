// The check of the new modes, with the timer driven by hand: the texts of each count, the
// fall-back to the lowest rate, and the restore and restart at the end.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "safety/Backups.h"
#include "tests/unit/DemoMachine.h"

namespace {

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
    Tick(15);
    Tick(15);
    EXPECT_EQ(std::vector<std::string>{"C:\\Cadenzo\\backup.dat"}, regedit.imported);
    EXPECT_EQ(1u, win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]);
    // A pause for the mode switch to settle before the import, then the minute before the restart.
    EXPECT_EQ((std::vector<std::uint32_t>{1000, 60000}), win.system.sleeps);
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot}, win.system.exitWindowsCalls);
    Tick(1);
    EXPECT_EQ("Settings will be automatically restored from backup in 255 seconds",
              check->Label2.Caption());
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());  // stopped: nothing happens any more
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
