// The diagnostic report: its text byte for byte, the exports and the script that joins them,
// and the main window's command that writes it all into the current directory.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "report/CreateReport.h"
#include "report/ReportText.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

const std::string kSeparator = std::string(80, '-') + "\r\n";

// The registry editor's command lines, in the order the report joins the exports.
const std::vector<std::string> kExportParameters = {
    "/e ati2mtaa.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ati2mtaa",
    "/e ati2mtag.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ati2mtag",
    "/e atimtag.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\atimtag",
    "/e ati2mpaa.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ati2mpaa",
    "/e ati2mpag.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ati2mpag",
    "/e class.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class",
    "/e video.reg HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video",
    "/e ati.reg \"HKEY_LOCAL_MACHINE\\Software\\ATI Technologies\""};

TEST(ReportTextTest, HoldsTheLanguageSettingsModesBoxesVersionAndIdentifiers) {
    ReportFacts facts;
    facts.LanguageActive = true;
    facts.LanguageFile = "English.lng";
    facts.ModeTable = {{480, 640, {60, 72, 75, 85}, 85}, {768, 1024, {60, 70, 75, 85}, 75}};
    facts.CheckBoxes = {true, true, true, true, false, true, false, true};
    facts.WinVerText = "5.1.2600";
    facts.ClassID = "{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000";
    facts.VideoID = "{6A1C4E0F-1F2D-4B3A-9C7E-1D2E3F405060}";
    facts.Monitor = monitor::ReadEdid(demo::CrtBlock());
    EXPECT_EQ("Cadenzo Version 0.98 beta report file [Lang:1(English.lng)]\r\n" + kSeparator +
                  "IgnoreMonitorCaps : No\r\n" + kSeparator +
                  "Modes:\r\n"
                  "640x480 Refresh Rates: 60 72 75 85 Selected: 85\r\n"
                  "1024x768 Refresh Rates: 60 70 75 85 Selected: 75\r\n" +
                  kSeparator + "CB: TRUE TRUE TRUE TRUE FALSE TRUE FALSE TRUE\r\n" + kSeparator +
                  "WinVer: 5.1.2600\r\n" + kSeparator +
                  "ClassID: {4D36E968-E325-11CE-BFC1-08002BE10318}\\0000\r\n"
                  "VideoID: {6A1C4E0F-1F2D-4B3A-9C7E-1D2E3F405060}\r\n" +
                  kSeparator +
                  "Monitor: Cadenzo CRT (EDID 1.3)\r\n"
                  "Ranges: 50-85 Hz, 30-70 kHz, 140 MHz\r\n"
                  "640x480 highest within: 85\r\n"
                  "1024x768 highest within: 85\r\n" +
                  kSeparator + "History: history.log is not there\r\n" + kSeparator,
              ReportText(facts));
}

TEST(ReportTextTest, OddTablesAndTextsAreWrittenAsTheyAre) {
    ReportFacts facts;
    // Nothing but the separators around an empty table, and empty texts.
    std::string empty = ReportText(facts);
    EXPECT_EQ("Cadenzo Version 0.98 beta report file [Lang:0()]\r\n" + kSeparator +
                  "IgnoreMonitorCaps : No\r\n" + kSeparator + "Modes:\r\n" + kSeparator +
                  "CB: FALSE FALSE FALSE FALSE FALSE FALSE FALSE FALSE\r\n" + kSeparator +
                  "WinVer: \r\n" + kSeparator + "ClassID: \r\nVideoID: \r\n" + kSeparator +
                  "Monitor: none (no EDID)\r\n" + kSeparator +
                  "History: history.log is not there\r\n" + kSeparator,
              empty);
    // A monitor whose block is damaged is named with the reason, its ranges not trusted.
    std::vector<std::uint8_t> damaged = demo::CrtBlock();
    ++damaged[20];
    facts.Monitor = monitor::ReadEdid(damaged);
    EXPECT_NE(
        std::string::npos,
        ReportText(facts).find("Monitor: Cadenzo CRT (EDID 1.3), bad checksum\r\n" + kSeparator));

    // A name stored with its terminator keeps it; numbers are numbers, never characters.
    facts.LanguageFile = std::string("Deutsch.lng\0", 12);
    facts.IgnoreMonitorCaps = true;
    facts.ModeTable = {{65535, 65535, {254}, 254}, {600, 800, {}, NoRateLeft}, {0, 0, {0, 1}, 0}};
    std::string text = ReportText(facts);
    EXPECT_EQ(0u, text.find(std::string("Cadenzo Version 0.98 beta report file [Lang:0(Deutsch.lng"
                                        "\0)]\r\n",
                                        58)));
    EXPECT_NE(std::string::npos, text.find("IgnoreMonitorCaps : Yes\r\n"));
    std::size_t modes = text.find("Modes:\r\n") + 8;
    EXPECT_EQ(
        "65535x65535 Refresh Rates: 254 Selected: 254\r\n"
        "800x600 Refresh Rates: Selected: 255\r\n"
        "0x0 Refresh Rates: 0 1 Selected: 0\r\n" +
            kSeparator,
        text.substr(modes, text.find(kSeparator, modes) + kSeparator.size() - modes));
}

// The joins copy in binary (/b): in text mode copy ends each file at its first Ctrl-Z, which
// UTF-16 exports hold, and appends one that hides the next separator. No carriage return
// stands inside a line: Wine's cmd ends the command there and empties the collection.
TEST(ReportTextTest, TheScriptJoinsTheExportsInOrderAfterTheTextAndRemovesItself) {
    const std::vector<std::string> lines = {
        "@echo off",
        "copy ati2mtaa.reg 0.tmp",
        "del ati2mtaa.reg",
        "echo ------------>> 0.tmp",
        "copy /b 0.tmp + ati2mtag.reg 1.tmp",
        "del ati2mtag.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + atimtag.reg 1.tmp",
        "del atimtag.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + ati2mpaa.reg 1.tmp",
        "del ati2mpaa.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + ati2mpag.reg 1.tmp",
        "del ati2mpag.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + class.reg 1.tmp",
        "del class.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + video.reg 1.tmp",
        "del video.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b 0.tmp + ati.reg 1.tmp",
        "del ati.reg",
        "del 0.tmp",
        "ren 1.tmp 0.tmp",
        "echo ------------ >> 0.tmp",
        "copy /b \"Cadenzo.rpt\" + 0.tmp 1.tmp",
        "del \"Cadenzo.rpt\"",
        "del 0.tmp",
        "ren 1.tmp \"Cadenzo.rpt\"",
        "del cpall.bat",
    };
    ASSERT_EQ(44u, lines.size());
    std::string script;
    for (const std::string& line : lines)
        script += line + "\r\n";
    EXPECT_EQ(script, ReportScript());
}

class ReportTest : public demo::ProgramTest {
protected:
    // Cadenzo was installed in its folder and runs from elsewhere; the report goes where the
    // process stands.
    void SetUp() override {
        InstallInProgramFiles();
        win.registry.SeedString(SettingsKey, InstallDirValue, win.system.currentDirectory);
        win.system.currentDirectory = kHere;
        win.files.AddDirectory(kHere);
        win.registry.SeedKey(ati::DisplayClassKey);
        // Notes which working files lie ready when the script starts.
        auto editor = win.shell.onStart;
        win.shell.onStart = [this, editor](const platform::Launch& launch) {
            if (launch.file == ReportScriptFile) {
                for (const ReportExport& entry : ReportExports)
                    readyForScript.push_back(win.files.Contents(entry.file));
            }
            return editor(launch);
        };
    }
    // Creates the report through the menu, as a person does.
    TForm1& Report() {
        TForm1& form = program.CreateMainWindow();
        form.Paint();
        win.shell.started.clear();
        win.boxes.shown.clear();
        form.FindMenuItem("CreateReport1")->OnClick();
        return form;
    }
    std::string Written() { return win.files.Contents(ReportFile).value_or("(none)"); }
    std::string FirstLine() { return Written().substr(0, Written().find("\r\n")); }
    void ExpectMessage(const std::string& text, const std::string& caption) {
        ASSERT_EQ(1u, win.boxes.shown.size());
        EXPECT_EQ(text, win.boxes.shown[0].text);
        EXPECT_EQ(caption, win.boxes.shown[0].caption);
        EXPECT_EQ(platform::Buttons::Ok, win.boxes.shown[0].buttons);
        EXPECT_EQ(platform::Icon::None, win.boxes.shown[0].icon);
    }
    // The eight exports, each waited for, then the script, hidden.
    void ExpectExportsThenScript() {
        ASSERT_EQ(9u, win.shell.started.size());
        for (std::size_t i = 0; i < ReportExports.size(); ++i) {
            const platform::Launch& launch = win.shell.started[i].launch;
            EXPECT_EQ("regedit.exe", launch.file);
            EXPECT_EQ(kExportParameters[i], launch.parameters);
            EXPECT_EQ(".", launch.directory);
            EXPECT_EQ(platform::ShowNormal, launch.show);
            EXPECT_TRUE(win.shell.started[i].waited);
        }
        const platform::Launch& script = win.shell.started[8].launch;
        EXPECT_EQ("cpall.bat", script.file);
        EXPECT_EQ("", script.parameters);
        EXPECT_EQ(".", script.directory);
        EXPECT_EQ(platform::ShowHide, script.show);
    }

    const std::string kHere = "C:\\Users\\Tester\\Reports";
    std::vector<std::optional<std::string>> readyForScript;
};

TEST_F(ReportTest, WritesTheTextExportsEveryKeyAndRunsTheScriptOnceTheExportsAreDone) {
    // Leftovers of a report cut short: none may pass for this one's exports or working files.
    win.files.Put(kHere + "\\ati2mtaa.reg", "an export of an earlier report");
    win.files.Put(kHere + "\\0.tmp", "collected earlier");
    win.files.Put(kHere + "\\1.tmp", "joined earlier");
    TForm1& form = Report();
    ExpectExportsThenScript();
    ExpectMessage("Report saved in Cadenzo.rpt", "Report Creation OK");

    std::string text = Written();
    EXPECT_EQ("Cadenzo Version 0.98 beta report file [Lang:0()]", FirstLine());
    std::string modes =
        "Modes:\r\n"
        "640x480 Refresh Rates: 60 72 75 85 Selected: 60\r\n"
        "800x600 Refresh Rates: 56 60 72 75 85 Selected: 56\r\n"
        "1024x768 Refresh Rates: 60 70 75 85 Selected: 60\r\n"
        "1280x1024 Refresh Rates: 60 75 85 Selected: 60\r\n" +
        kSeparator + "CB: TRUE TRUE TRUE TRUE";
    EXPECT_NE(std::string::npos, text.find(modes)) << text;
    EXPECT_NE(std::string::npos, text.find("ClassID: " + program.adapter.ClassID + "\r\n"));
    EXPECT_NE(std::string::npos, text.find("VideoID: " + program.adapter.VideoID + "\r\n"));
    EXPECT_EQ(ReportScript(), win.files.Contents("cpall.bat"));
    // All in the current directory, nothing in the install directory.
    EXPECT_FALSE(win.files.Exists("C:\\Program Files\\Cadenzo\\Cadenzo.rpt"));

    // When the script starts every export is whole; a key that is missing has an empty file.
    ASSERT_EQ(8u, readyForScript.size());
    for (std::size_t i : {1u, 5u, 6u, 7u}) {  // ati2mtag, the two display keys, ATI's software
        ASSERT_TRUE(readyForScript[i]) << ReportExports[i].file;
        EXPECT_EQ(0u, readyForScript[i]->find("\xFF\xFEW\0", 0, 4)) << ReportExports[i].file;
    }
    for (std::size_t i : {0u, 2u, 3u, 4u})
        EXPECT_EQ("", readyForScript[i]) << ReportExports[i].file;
    EXPECT_FALSE(win.files.Exists("0.tmp"));
    EXPECT_FALSE(win.files.Exists("1.tmp"));

    // Again: the same files, with what the window shows now.
    form.Tabs[1]->SetChecked(true);
    win.boxes.shown.clear();
    win.shell.started.clear();
    form.bReport.Click();
    ExpectExportsThenScript();
    EXPECT_NE(std::string::npos, Written().find("CB: TRUE TRUE TRUE TRUE FALSE TRUE FALSE FALSE"));
}

TEST_F(ReportTest, SaysWhetherTheLanguageFileWasAcceptedAndTheIgnoreMonitorCapsSetting) {
    const std::string missing = "Missing.lng";  // stored as the language dialog stores it
    win.registry.Seed(SettingsKey, LangFileNameValue, platform::RegSz,
                      std::vector<std::uint8_t>(missing.begin(), missing.end()));
    win.registry.SeedDword(SettingsKey, IgnoreMonitorCapsValue, 2);
    Report();
    EXPECT_EQ("Cadenzo Version 0.98 beta report file [Lang:0(Missing.lng)]", FirstLine());
    EXPECT_NE(std::string::npos, Written().find("IgnoreMonitorCaps : Yes\r\n"));

    // Only the low 16 bits count; a value too long for a word is not read.
    win.registry.SeedDword(SettingsKey, IgnoreMonitorCapsValue, 0x10000);
    Report();
    EXPECT_NE(std::string::npos, Written().find("IgnoreMonitorCaps : No\r\n"));
    win.registry.Seed(SettingsKey, IgnoreMonitorCapsValue, platform::RegBinary,
                      {1, 0, 0, 0, 0, 0, 0, 0});
    Report();
    EXPECT_NE(std::string::npos, Written().find("IgnoreMonitorCaps : No\r\n"));
}

TEST_F(ReportTest, HoldsTheLastFiftyLinesOfTheHistory) {
    std::string log;
    for (int n = 1; n <= 60; ++n)
        log += "2026-12-0" + std::to_string(n % 9 + 1) + "T10:00:00+01:00 event " +
               std::to_string(n) + "\r\n";
    win.files.Put("C:\\Program Files\\Cadenzo\\history.log", log);
    Report();
    std::string text = Written();
    std::size_t from = text.find("History: the last 50 lines of history.log\r\n");
    ASSERT_NE(std::string::npos, from) << text;
    EXPECT_EQ(log.substr(log.find("2026-12-03T10:00:00+01:00 event 11\r\n")) + kSeparator,
              text.substr(text.find("\r\n", from) + 2));
}

TEST_F(ReportTest, ADirectoryThatCannotBeWrittenIsSaidButTheExportsAndScriptStillStart) {
    win.files.DenyWrites(kHere);
    Report();
    ExpectExportsThenScript();
    ExpectMessage("Can't create temporaly file", "Error");
    EXPECT_FALSE(win.files.Exists(ReportFile));
}

TEST_F(ReportTest, AnExportThatDoesNotEndInTimeKeepsTheScriptFromJoiningIt) {
    regedit.hangs = true;
    Report();
    ASSERT_EQ(8u, win.shell.started.size());
    EXPECT_TRUE(readyForScript.empty());
    EXPECT_FALSE(win.files.Exists("cpall.bat"));
    ExpectMessage("Can't create temporaly file", "Error");
    // No export the editor wrote so far stays behind.
    for (const ReportExport& entry : ReportExports)
        EXPECT_FALSE(win.files.Exists(entry.file)) << entry.file;
    // The report's own text is there all the same.
    EXPECT_EQ("Cadenzo Version 0.98 beta report file [Lang:0()]", FirstLine());
}

// The join itself fails: the script does not start, does not end in time, or its last rename
// fails (a report file another program holds open). Each is said as a failure, and neither the
// exports nor the script's working files stay behind.
TEST_F(ReportTest, AJoinThatFailsIsSaidAndLeavesNoWorkingFiles) {
    struct Case {
        const char* what;
        platform::LaunchResult run;
        bool renameFails;
    };
    for (const Case& c : {Case{"not started", {false, false, 0}, false},
                          Case{"not ended in time", {true, false, 0}, false},
                          Case{"last rename failed", {true, true, 0}, true}}) {
        SCOPED_TRACE(c.what);
        auto editor = win.shell.onStart;
        win.shell.onStart = [&, editor](const platform::Launch& launch) {
            if (launch.file != ReportScriptFile) return editor(launch);
            if (c.renameFails) {  // all but "ren 1.tmp Cadenzo.rpt" and "del cpall.bat"
                for (const ReportExport& entry : ReportExports)
                    win.files.Remove(entry.file);
                win.files.WriteAll(ReportJoinedFile, "the whole report");
                win.files.Remove(ReportFile);
            }
            return c.run;
        };
        Report();
        win.shell.onStart = editor;
        ASSERT_EQ(9u, win.shell.started.size());
        ExpectMessage("Can't create temporaly file", "Error");
        for (const ReportExport& entry : ReportExports)
            EXPECT_FALSE(win.files.Exists(entry.file)) << entry.file;
        for (const char* file : {ReportScriptFile, ReportCollectionFile, ReportJoinedFile})
            EXPECT_FALSE(win.files.Exists(file)) << file;
    }
}

}  // namespace
