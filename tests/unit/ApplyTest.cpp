// OK from start to end on the in-memory Windows: the backup before anything is written, the
// bytes the driver finds afterwards, the RunOnce entry and the restart question, and what an
// apply that cannot be done safely leaves behind (nothing).

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Program.h"
#include "app/TForm1.h"
#include "apply/ApplyChoice.h"
#include "modes/ApplySettings.h"
#include "monitor/MonitorEdid.h"
#include "services/ExitCodes.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class ApplyTest : public demo::ProgramTest {
protected:
    void SetUp() override { InstallInProgramFiles(); }
    TForm1& Start() {
        TForm1& form = program.CreateMainWindow();
        form.Paint();
        return form;
    }
    GridRow& Row(TForm1& form, const std::string& label) {
        for (auto& row : form.Rows) {
            if (row->l.Caption() == label) return *row;
        }
        throw std::logic_error("no row " + label);
    }
    std::optional<platform::RegValue> Driver(const std::string& name) {
        return win.registry.Value(demo::DriverKey, name);
    }
    // Presses OK; the program ends unless the apply stopped with a message.
    bool PressOk(TForm1& form) {
        try {
            form.OK.Click();
        } catch (const platform::ProcessEnded&) {
            return true;
        }
        return false;
    }
};

TEST_F(ApplyTest, TheTypicalChangeRefusesTheRatesBelowTheChosenOne) {
    TForm1& form = Start();
    EXPECT_EQ("60", Row(form, "1024x768").ComboBox.Text());
    Row(form, "1024x768").ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(PressOk(form));

    EXPECT_EQ("C:\\Program Files\\Cadenzo\\lastknowngood.dat.new", regedit.exported.back());
    EXPECT_TRUE(win.files.Exists("lastknowngood.dat"));
    EXPECT_EQ((Bytes{0x10, 0x24, 0x07, 0x68, 0,    0,    0,    0x60, 0x10, 0x24, 0x07, 0x68,
                     0,    0,    0,    0x70, 0x10, 0x24, 0x07, 0x68, 0,    0,    0,    0x75}),
              Driver("DALRestrictedModesBCD")->data);
    EXPECT_EQ(platform::RegBinary, Driver("DALRestrictedModesBCD")->type);
    EXPECT_EQ(0u, Driver("DALRestrictedModesBCD1")->size);
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Driver("DALRULE_ADDNATIVEMODESTOMODETABLE")->data);
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Driver("DALOPTION_MinResBCD")->data);
    auto version = win.registry.Value(SettingsKey, "Version");
    EXPECT_EQ(std::string("0.98 beta\0", 10),
              std::string(version->data.begin(), version->data.end()));

    auto check = win.registry.Value(kRunOnce, "Cadenzo - test resolution");
    ASSERT_TRUE(check);
    EXPECT_EQ(std::string("\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" /CHECK") + '\0',
              std::string(check->data.begin(), check->data.end()));
    EXPECT_EQ("All changes do not take effect until next boot. Restart?",
              win.boxes.shown.back().text);
    EXPECT_EQ("Restart needed", win.boxes.shown.back().caption);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());

    // The history in Cadenzo's folder and the Event Log: each rate before and after.
    const std::string applied =
        "OK applied: 640x480 60 Hz, 800x600 56 Hz, 1024x768 60 Hz -> 85 Hz, 1280x1024 60 Hz";
    EXPECT_EQ((std::vector<std::string>{applied, "Check armed"}), demo::HistoryLines(win));
    EXPECT_EQ((std::vector<std::string>{"I " + applied, "I Check armed"}),
              demo::EventLogEntries(win));
}

TEST_F(ApplyTest, TheNextStartShowsTheChosenRateInForceWithoutAQuestion) {
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::Yes};
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    // The driver after the restart no longer offers what it refuses.
    auto& modes = win.display.devices[0].modes;
    modes.erase(std::remove_if(modes.begin(), modes.end(),
                               [](const platform::DisplayMode& m) {
                                   return m.width == 1024 && m.frequency < 85;
                               }),
                modes.end());
    platform::FakeWindows& w = win;
    ui::Application app2{w.boxes};
    Program next{w.Os(), app2};
    std::size_t boxesBefore = w.boxes.shown.size();
    TForm1& again = next.CreateMainWindow();
    EXPECT_EQ(boxesBefore, w.boxes.shown.size());
    EXPECT_EQ("85", Row(again, "1024x768").ComboBox.Text());
}

TEST_F(ApplyTest, AnApplyWithoutChangesWritesEverythingAgainButAsksNothing) {
    TForm1& form = Start();
    ASSERT_TRUE(PressOk(form));
    EXPECT_TRUE(Driver("DALRestrictedModesBCD"));
    EXPECT_EQ(0u, Driver("DALRestrictedModesBCD")->size);
    EXPECT_FALSE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(
        std::vector<std::string>{
            "OK applied: 640x480 60 Hz, 800x600 56 Hz, 1024x768 60 Hz, 1280x1024 60 Hz"},
        demo::HistoryLines(win));
}

// The history is for the record: a change goes through without it, and the report says what
// the log missed.
TEST_F(ApplyTest, AHistoryThatCannotBeWrittenStopsNoChangeAndTheReportSaysSo) {
    win.files.DenyWrites("history.log");
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(24u, Driver("DALRestrictedModesBCD")->size);
    EXPECT_TRUE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));

    ui::Application app2{win.boxes};
    Program next{win.Os(), app2};
    next.CreateMainWindow().bReport.Click();
    std::string report = win.files.Contents("Cadenzo.rpt").value_or("");
    EXPECT_NE(std::string::npos,
              report.find("History: history.log is not there\r\n"
                          "history.log could not be written; the latest event it missed: "
                          "2026-12-07T21:05:09+01:00 Check armed (the Windows Event Log has it)"))
        << report;
}

TEST_F(ApplyTest, NothingIsWrittenWithoutTheBackup) {
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    regedit.exportsFail = true;
    EXPECT_FALSE(PressOk(form));
    EXPECT_TRUE(demo::HistoryLines(win).empty());
    EXPECT_EQ(
        "The registry backup \"lastknowngood.dat\" could not be written, so the driver's "
        "settings were not changed.",
        win.boxes.shown.back().text);
    EXPECT_FALSE(Driver("DALRestrictedModesBCD"));
    EXPECT_FALSE(Driver("DALOPTION_MinResBCD"));
    EXPECT_FALSE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
}

TEST_F(ApplyTest, AListTooLongToReadBackIsRefusedBeforeAnyWrite) {
    auto& device = win.display.devices[0];
    for (std::uint32_t w = 1300; w < 1340; ++w) {
        win.display.AddModes(device, w, 1000, {60, 61, 62, 63, 64, 65, 66, 67});
    }
    TForm1& form = Start();
    win.files.Put("lastknowngood.dat", "the last apply");
    regedit.exported.clear();
    while (form.sbDown.Enabled())
        form.sbDown.Click();
    for (auto& row : form.Rows)
        row->ComboBox.SetText("255");  // every rate refused
    // Pages through all entries so that each one takes 255.
    while (form.sbUp.Enabled()) {
        form.sbUp.Click();
        for (auto& row : form.Rows)
            row->ComboBox.SetText("255");
    }
    EXPECT_FALSE(PressOk(form));
    EXPECT_NE(std::string::npos, win.boxes.shown.back().text.find("more than its list can hold"));
    EXPECT_FALSE(Driver("DALRestrictedModesBCD"));
    EXPECT_FALSE(Driver("DALRULE_ADDNATIVEMODESTOMODETABLE"));
    // Restore Registry must still undo the last apply that was made.
    EXPECT_TRUE(regedit.exported.empty());
    EXPECT_EQ("the last apply", win.files.Contents("lastknowngood.dat"));
}

// The window opened with what the creation had filled: the tabs and the anisotropy override
// were never read, so writing them would clear them.
TEST_F(ApplyTest, AfterAStartThatCouldNotReadEverythingOkWritesNothing) {
    win.registry.SeedString(demo::DriverKey, "DALRestrictedModesBCD", "garbage");
    win.registry.SeedString(std::string(demo::DriverKey) + "\\ddhal", "AnisoDegree", "16");
    TForm1& form = Start();
    ASSERT_EQ("Invalid data type for 'DALRestrictedModesBCD'", win.boxes.shown.at(0).text);
    EXPECT_FALSE(PressOk(form));
    EXPECT_NE(std::string::npos, win.boxes.shown.back().text.find("Nothing was changed"));
    EXPECT_EQ(platform::RegSz, Driver("DALRestrictedModesBCD")->type);
    EXPECT_TRUE(win.registry.Value(std::string(demo::DriverKey) + "\\ddhal", "AnisoDegree"));
    EXPECT_FALSE(win.files.Exists("C:\\Program Files\\Cadenzo\\lastknowngood.dat"));
    EXPECT_FALSE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
}

TEST_F(ApplyTest, WithoutAnAdapterOkWritesNothingAnywhere) {
    platform::FakeWindows bare;
    demo::SeedInstall(bare);
    platform::FakeRegedit bareRegedit{bare};
    ui::Application bareApp{bare.boxes};
    Program noAdapter{bare.Os(), bareApp};
    TForm1& form = noAdapter.CreateMainWindow();
    form.Paint();
    EXPECT_FALSE(PressOk(form));
    EXPECT_TRUE(bare.registry.ValueNames("").empty());
    EXPECT_FALSE(bare.registry.Value(kRunOnce, "Cadenzo - test resolution"));
    EXPECT_TRUE(bareRegedit.exported.empty());
}

TEST_F(ApplyTest, WithoutAdministratorRightsTheApplyStopsAtTheFirstWrite) {
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    win.registry.ProtectFromWrites(demo::DriverKey);
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ("Failed to set data for 'DALRestrictedModesBCD'", win.boxes.shown.back().text);
    EXPECT_FALSE(Driver("DALRestrictedModesBCD"));
    EXPECT_FALSE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
    EXPECT_FALSE(win.registry.Value(SettingsKey, "DALRestrictedModesBCD"));  // nowhere else either
}

TEST_F(ApplyTest, TheControlPanelMaximumIsRaisedToTheHighestChosenRate) {
    Bytes info(12, 0), maxModeInfo(20, 0);
    info[8] = 75;
    maxModeInfo[16] = 75;
    win.registry.Seed(demo::DriverKey, "DALR6 CRT_Info", platform::RegBinary, info);
    win.registry.Seed(demo::DriverKey, "DALR6 CRT_MaxModeInfo", platform::RegBinary, maxModeInfo);
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(PressOk(form));
    std::vector<std::string> texts;
    for (const auto& box : win.boxes.shown)
        texts.push_back(box.caption);
    EXPECT_EQ((std::vector<std::string>{"Warning", "Restart needed"}), texts);
    EXPECT_EQ(85, Driver("DALR6 CRT_Info")->data[8]);
    EXPECT_EQ(12u, Driver("DALR6 CRT_Info")->size);
    EXPECT_EQ(85, Driver("DALR6 CRT_MaxModeInfo")->data[16]);
    EXPECT_FALSE(Driver("DALRage128 CRT GDO_Info"));  // a missing Info value is never corrected
}

// Another tool's value there must not end the apply half-way: the rates would be in force
// after the restart without the check that falls back from them.
TEST_F(ApplyTest, AControlPanelMaximumThatIsNoListIsLeftAloneAndTheApplyCompletes) {
    Bytes maxModeInfo(20, 0);
    maxModeInfo[16] = 60;
    win.registry.SeedString(demo::DriverKey, "DALR6 CRT_Info", "60");
    win.registry.Seed(demo::DriverKey, "DALR6 CRT_MaxModeInfo", platform::RegBinary, maxModeInfo);
    win.registry.Seed(demo::DriverKey, "DALRage128 CRT GDO_Info", platform::RegBinary, Bytes(12));
    win.registry.Seed(demo::DriverKey, "DALRage128 CRT GDO_MaxModeInfo", platform::RegBinary,
                      Bytes(2049));
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};
    ASSERT_TRUE(PressOk(form));
    ASSERT_EQ(3u, win.boxes.shown.size());
    EXPECT_EQ("Warning", win.boxes.shown[0].caption);
    EXPECT_NE(std::string::npos,
              win.boxes.shown[0].text.find("value \"DALRage128 CRT GDO_MaxModeInfo\" is not"));
    EXPECT_NE(std::string::npos, win.boxes.shown[1].text.find("value \"DALR6 CRT_Info\" is not"));
    EXPECT_EQ("Restart needed", win.boxes.shown[2].caption);
    EXPECT_EQ(platform::RegSz, Driver("DALR6 CRT_Info")->type);
    EXPECT_EQ(60, Driver("DALR6 CRT_MaxModeInfo")->data[16]);
    EXPECT_EQ(0, Driver("DALRage128 CRT GDO_Info")->data[8]);  // not half a pair
    EXPECT_EQ(24u, Driver("DALRestrictedModesBCD")->size);     // 1024x768 at 60, 70 and 75
    EXPECT_TRUE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
}

// A rate beyond what the monitor says it can show (a CRT of 50-85 Hz, 30-70 kHz, 140 MHz; the
// line rate and pixel clock are GTF estimates) is asked about
// once, before any backup: No leaves everything as it was, Yes writes as asked. Without a
// usable EDID nothing is asked.
TEST_F(ApplyTest, ARateBeyondTheMonitorsLimitsIsAskedAboutBeforeAnythingIsWritten) {
    win.display.AddModes(win.display.devices[0], 1024, 768, {100});
    win.display.AddModes(win.display.devices[0], 1280, 1024, {100});
    // Beyond the monitor even at its lowest rate, where OK refuses nothing: not asked about.
    win.display.AddModes(win.display.devices[0], 1600, 1200, {60, 75});
    demo::SeedMonitor(win, demo::CrtBlock());
    TForm1& form = Start();
    Row(form, "1024x768").ComboBox.SetText("100");
    Row(form, "1280x1024").ComboBox.SetText("85");
    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    std::size_t exports = regedit.exported.size();
    win.boxes.answers = {platform::Answer::No};
    EXPECT_FALSE(PressOk(form));
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Monitor limits", win.boxes.shown[0].caption);
    EXPECT_EQ(platform::Buttons::YesNo, win.boxes.shown[0].buttons);
    EXPECT_EQ(
        "The monitor Cadenzo CRT says it cannot show these rates (what a rate needs > the "
        "monitor's limit):\r\n"
        "1024x768, 100 Hz: 100 Hz > 85 Hz, 81.4 kHz > 70 kHz\r\n"
        "1280x1024, 85 Hz: 91.4 kHz > 70 kHz, 159.4 MHz > 140 MHz\r\n\r\n"
        "Write them anyway?",
        win.boxes.shown[0].text);
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
    EXPECT_EQ(exports, regedit.exported.size());

    win.boxes.answers = {platform::Answer::Yes, platform::Answer::No, platform::Answer::No};
    ASSERT_TRUE(PressOk(form));
    EXPECT_NE(std::string::npos, regedit.exported.back().find("lastknowngood.dat"));
    EXPECT_EQ(0x60, Driver("DALRestrictedModesBCD")->data[7]);  // 1024x768 at 60 refused

    // A block with a bad sum tells nothing: no question.
    std::vector<std::uint8_t> broken = demo::CrtBlock();
    ++broken[20];
    win.registry.DeleteKeyTree(monitor::MonitorEnumKey);
    demo::SeedMonitor(win, broken);
    TForm1& again = Start();
    Row(again, "1024x768").ComboBox.SetText("100");
    win.boxes.shown.clear();
    win.boxes.answers = {platform::Answer::No, platform::Answer::No};
    ASSERT_TRUE(PressOk(again));
    for (const auto& box : win.boxes.shown)
        EXPECT_NE("Monitor limits", box.caption);
}

TEST_F(ApplyTest, HighestSelectedRateIgnoresEntriesWithNoRateLeft) {
    ModeEntries table{{480, 640, {60, 75}, 255}, {600, 800, {60, 100}, 100}, {768, 1024, {60}, 60}};
    EXPECT_EQ(100, HighestSelectedRate(table));
    EXPECT_EQ(0, HighestSelectedRate({{480, 640, {60}, 255}}));
    EXPECT_EQ(0, HighestSelectedRate({}));
}

// The apply itself, without a window: what it says happened, and that it neither asks about
// the restart nor ends the process.
class ApplyChoiceTest : public ApplyTest {
protected:
    RegistryCursor cursor{win.registry};
    Machine machine;
    void SetUp() override {
        ApplyTest::SetUp();
        machine = ReadMachine(os, cursor);
    }
    Choice InForce() {
        Choice choice;
        choice.rates = machine.modes;
        choice.options = machine.options;
        return choice;
    }
    Choice With(std::uint16_t width, std::uint8_t rate) {
        Choice choice = InForce();
        for (ModeEntry& entry : choice.rates) {
            if (entry.Width == width) entry.Selected = rate;
        }
        return choice;
    }
    ApplyOutcome Apply(const Choice& choice, ApplyPolicy policy = {}) {
        return ApplyChoice(os, cursor, machine, choice, policy, program.language);
    }
};

TEST_F(ApplyChoiceTest, TheOutcomeSaysWhatHappenedAndNothingEndsOrAsksAboutARestart) {
    ApplyOutcome same = Apply(InForce());
    EXPECT_EQ(ApplyOutcome::Result::Done, same.result);
    EXPECT_EQ(exitcode::Done, same.exitCode);
    EXPECT_TRUE(ReadRecord(win.registry, AppliedKey));

    ApplyOutcome changed = Apply(With(1024, 85));
    EXPECT_EQ(ApplyOutcome::Result::RestartNeeded, changed.result);
    EXPECT_EQ(exitcode::Done, changed.exitCode);
    EXPECT_TRUE(ReadRecord(win.registry, PendingKey));
    EXPECT_TRUE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());

    Choice noDepth = InForce();
    noDepth.depths = {false, false, false, false};
    ApplyOutcome deepest = Apply(noDepth);
    EXPECT_EQ((std::array<bool, 4>{false, false, false, true}), deepest.depths);
    EXPECT_EQ("Can't disable all modes, 32BPP will be enabled", win.boxes.shown.back().text);
}

TEST_F(ApplyChoiceTest, EachReasonToWriteNothingHasItsExitCode) {
    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    win.system.writerLockElsewhere = true;
    EXPECT_EQ(exitcode::Busy, Apply(With(1024, 85)).exitCode);
    win.system.writerLockElsewhere = false;

    regedit.exportsFail = true;
    ApplyOutcome noBackup = Apply(With(1024, 85));
    EXPECT_FALSE(noBackup.Written());
    EXPECT_EQ(exitcode::EditorUnfinished, noBackup.exitCode);
    regedit.exportsFail = false;

    demo::SeedMonitor(win, demo::CrtBlock());
    win.boxes.answers = {platform::Answer::No};
    EXPECT_EQ(exitcode::NothingDone, Apply(With(1280, 85)).exitCode);

    Machine none = machine;
    none.adapter = AdapterState{};
    EXPECT_EQ(exitcode::NoAdapter,
              ApplyChoice(os, cursor, none, With(1024, 85), {}, program.language).exitCode);
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
}

TEST_F(ApplyChoiceTest, UnaskedRatesBeyondTheMonitorGoBackToTheRateInForce) {
    demo::SeedMonitor(win, demo::CrtBlock());
    ApplyPolicy unasked;
    unasked.monitor = ApplyPolicy::Monitor::RefuseBeyond;
    Choice choice = With(1280, 85);
    for (ModeEntry& entry : choice.rates) {
        if (entry.Width == 1024) entry.Selected = 75;
    }
    ApplyOutcome outcome = Apply(choice, unasked);
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(std::vector<std::string>{"1280x1024, 85 Hz (60 Hz kept)"}, outcome.beyondMonitor);
    EXPECT_EQ(exitcode::PartsRefused, outcome.exitCode);
    EXPECT_EQ(ApplyOutcome::Result::RestartNeeded, outcome.result);  // 1024x768 at 75
    EXPECT_EQ("OK applied: 640x480 60 Hz, 800x600 56 Hz, 1024x768 60 Hz -> 75 Hz, 1280x1024 60 Hz",
              demo::HistoryLines(win).at(0));
}

TEST(ChoiceMatchTest,
     AResolutionTheMachineLacksIsSkippedAndARateItDoesNotOfferKeepsTheRateInForce) {
    ModeEntries inForce{{480, 640, {60, 75}, 60},
                        {768, 1024, {60, 85}, 60},
                        {768, 1024, {60}, 60},
                        {600, 800, {}, 0}};
    ChoiceMatch match = MatchChoice({{1024, 768, false, 85},
                                     {1024, 768, false, 85},
                                     {640, 480, false, NoRateLeft},
                                     {800, 600, false, 0},
                                     {1600, 1200, true, 0}},
                                    inForce);
    EXPECT_EQ(NoRateLeft, match.table[0].Selected);
    EXPECT_EQ(85, match.table[1].Selected);
    EXPECT_EQ(60, match.table[2].Selected);  // the second 1024x768 lacks 85
    EXPECT_EQ(0, match.table[3].Selected);
    ASSERT_EQ(1u, match.unoffered.size());
    EXPECT_EQ("1024x768: 85 Hz", RateText(match.unoffered[0]));
    ASSERT_EQ(1u, match.skipped.size());
    EXPECT_EQ("1600x1200", SizeText(match.skipped[0]));
}

}  // namespace
