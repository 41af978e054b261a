// The one writer lock of the driver's settings: waits take their time, every writer and backup
// waits its turn, no path ends the process holding it, and an abandoned lock is told.

#include <gtest/gtest.h>

#include "adapters/TForm4.h"
#include "app/Program.h"
#include "app/TForm1.h"
#include "nonstandard/TNonStRes.h"
#include "safety/Restore.h"
#include "safety/TForm5.h"
#include "tests/unit/DemoMachine.h"

namespace {

class WriterLockTest : public demo::ProgramTest {
protected:
    void SetUp() override { demo::SeedDriverProfile(win); }
    void Backup(const std::string& file) {
        win.files.Put(file, regedit.ExportText(demo::DriverKey));
    }
    template <class Dialog>
    Dialog& Open(const char* menuItem) {
        program.Form1().FindMenuItem(menuItem)->Click();
        return static_cast<Dialog&>(*program.Dialogs().back());
    }
};

TEST_F(WriterLockTest, TheFallBackWaitsHalfAMinuteThenImportsAndRestoreGivesUpAfterTen) {
    Backup("backup.dat");
    Backup("lastknowngood.dat");
    win.system.writerLockElsewhere = true;
    TForm5 check(app, os, program.language, demo::DeviceName, "");
    check.Check.FirstPhase = false;
    check.bCancel.Click();
    // The wait, then the pause before the restart; the settings from before the change went in.
    EXPECT_EQ(30000u + 60000u, win.system.clockMs);
    EXPECT_EQ(1u, regedit.imported.size());
    win.system.clockMs = 0;
    EXPECT_EQ(7u, static_cast<std::uint32_t>(RestoreAndRestart(os)));
    EXPECT_EQ(10000u, win.system.clockMs);
    EXPECT_EQ(1u, regedit.imported.size());
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
}

TEST_F(WriterLockTest, WhileAnotherWritesNoDialogWritesAndNoStartBackupIsTaken) {
    win.system.writerLockElsewhere = true;
    program.CreateMainWindow().Paint();
    EXPECT_TRUE(regedit.exported.empty());
    EXPECT_NE(std::string::npos, win.boxes.shown.back().text.find("Cancel will not restore"));
    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    auto& list = Open<TNonStRes>("Resolutions1");
    list.lbRes.UserPicked(0);
    list.bRemove.Click();
    list.bOK.Click();
    auto& adapters = Open<TForm4>("Adapter1");
    adapters.cbIgnoreMC.SetChecked(true);
    adapters.bOK.Click();
    EXPECT_TRUE(list.Visible() && adapters.Visible());  // for another try
    EXPECT_EQ("Cadenzo is busy", win.boxes.shown.back().caption);
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
}

TEST_F(WriterLockTest, BackupsAreTakenUnderItNoPathEndsHoldingItAndAnAbandonedOneIsTold) {
    std::vector<bool> heldByEditor;
    auto editor = win.shell.onStart;
    win.shell.onStart = [&](const platform::Launch& launch) {
        heldByEditor.push_back(win.system.writerLockHeld);
        return editor(launch);
    };
    // A first run (backup.dat, firstrun.dat, the question, the end), Cancel, Restore Registry.
    win.registry.SeedDword(demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE", 1);
    win.boxes.answers = {platform::Answer::No};
    EXPECT_THROW(program.CreateMainWindow().Paint(), platform::ProcessEnded);
    EXPECT_THROW(program.CreateMainWindow().Cancel.Click(), platform::ProcessEnded);
    Backup("lastknowngood.dat");
    win.system.writerLockAbandoned = true;
    win.boxes.answers = {platform::Answer::No};
    EXPECT_THROW(program.CreateMainWindow().bRestore.Click(), platform::ProcessEnded);
    EXPECT_EQ(std::vector<bool>(4, true), heldByEditor);
    EXPECT_FALSE(win.system.endedHoldingWriterLock);
    EXPECT_EQ((std::vector<std::string>{"A Cadenzo ended while changing the driver's settings",
                                        "Restore Registry: lastknowngood.dat"}),
              demo::HistoryLines(win));
    EXPECT_EQ("W A Cadenzo ended while changing the driver's settings",
              demo::EventLogEntries(win)[0]);
}

}  // namespace
