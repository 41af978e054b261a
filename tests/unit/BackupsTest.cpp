// The registry backups and the commands that restore them, with the in-memory registry
// editor: what is exported and imported when, and that no backup is ever lost or skipped.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "platform/CaseFold.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "safety/RegistryFile.h"
#include "safety/Restore.h"
#include "safety/Uninstall.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// Text as Windows NT's editor writes it: UTF-16LE after the byte-order mark.
std::string Utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text)
        bytes += std::string{c, '\0'};
    return bytes;
}

const std::string kOlderBackup = "an older backup";
constexpr char kNewBackup[] = "backup.dat.new";

class BackupsTest : public demo::ProgramTest {
protected:
    void SetUp() override {
        InstallInProgramFiles();
        win.registry.SeedDword(demo::DriverKey, "DisableTiling", 1);
    }
    // Starts the program as a person does: the window is created and painted.
    TForm1& Start() {
        TForm1& form = program.CreateMainWindow();
        form.Paint();
        return form;
    }
    std::uint32_t Tiling() { return win.registry.Value(demo::DriverKey, "DisableTiling")->data[0]; }
    // Exports backup.dat over an older one: the export must fail, leaving the older backup
    // byte for byte and no new file behind.
    void ExpectTheOlderBackupKept() {
        win.files.Put(StartBackupFile, kOlderBackup);
        EXPECT_FALSE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
        EXPECT_EQ(kOlderBackup, win.files.Contents(StartBackupFile));
        EXPECT_FALSE(win.files.Exists(kNewBackup));
    }
};

TEST_F(BackupsTest, CommandLinesQuoteTheFilePaths) {
    EXPECT_EQ("/e \"C:\\Program Files\\Cadenzo\\backup.dat\" HKEY_LOCAL_MACHINE\\System\\V\\0000",
              ExportParameters("C:\\Program Files\\Cadenzo", "backup.dat", "System\\V\\0000"));
    EXPECT_EQ("/s \"C:\\Program Files\\Cadenzo\\backup.dat\"",
              ImportParameters("C:\\Program Files\\Cadenzo", "backup.dat"));
    EXPECT_EQ("/e \".\\backup.dat\" HKEY_LOCAL_MACHINE\\K",
              ExportParameters(".", "backup.dat", "K"));
}

TEST_F(BackupsTest, ARegistryFileReadsAsTheEditorWritesItAndOnlySo) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\K]\r\n"
        "@=\"C:\\\\Path \\\"q\\\"\"\r\n"
        "\"Rate\"=dword:0000004b\r\n"
        "\"List\"=hex:01,02,\\\r\n  03\r\n"
        "\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
        "\"Gone\"=-\r\n"
        "; a remark\r\n\r\n"
        "[-HKEY_LOCAL_MACHINE\\K\\Old]\r\n\r\n";
    std::optional<RegistryFile> file = ReadRegistryFile(Utf16(text));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->version5);
    ASSERT_EQ(2u, file->sections.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\K", file->sections[0].key);
    const std::vector<RegistryFileValue>& values = file->sections[0].values;
    ASSERT_EQ(5u, values.size());
    EXPECT_EQ("", values[0].name);
    EXPECT_EQ(platform::RegSz, values[0].type);
    Bytes path;
    for (char c : std::string("C:\\Path \"q\"") + '\0')
        path.insert(path.end(), {static_cast<std::uint8_t>(c), 0});
    EXPECT_EQ(path, values[0].data);
    EXPECT_EQ(platform::RegDword, values[1].type);
    EXPECT_EQ((Bytes{0x4B, 0, 0, 0}), values[1].data);
    EXPECT_EQ(platform::RegBinary, values[2].type);
    EXPECT_EQ((Bytes{1, 2, 3}), values[2].data);
    EXPECT_EQ(platform::RegMultiSz, values[3].type);
    EXPECT_EQ((Bytes{0x41, 0, 0, 0, 0, 0}), values[3].data);
    EXPECT_EQ("Gone", values[4].name);
    EXPECT_TRUE(values[4].deleted);
    EXPECT_TRUE(file->sections[1].deleted);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\K\\Old", file->sections[1].key);
    // Windows 9x's editor: ANSI, strings in single bytes, lines ended by LF alone read too.
    file = ReadRegistryFile("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"16\"\n");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->version5);
    EXPECT_EQ((Bytes{'1', '6', 0}), file->sections.at(0).values.at(0).data);

    const std::string header = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
    for (const std::string& notReadable :
         {Utf16(text) + "x", std::string(), "REGEDIT5\r\n"s, "REGEDIT4\r\n\"a\"=\"b\"\r\n"s,
          header + "\"a\"=hex:1,02\r\n", header + "\"a\"=hex:01,\\\r\n",
          header + "\"a\"=hex:01,\r\n", header + "\"a\"=\"\\q\"\r\n", header + "\"a\"=\"b\r\n",
          header + "\"a\"=dword:123456789\r\n", header + "\"a\"=hex(zz):00\r\n",
          header + "\"a\"=str:\"b\"\r\n", header + "a=\"b\"\r\n",
          header + "[HKEY_LOCAL_MACHINE\\K\r\n", header + "[]\r\n"}) {
        SCOPED_TRACE(notReadable);
        EXPECT_FALSE(ReadRegistryFile(notReadable));
    }
}

TEST_F(BackupsTest, EveryOrdinaryStartTakesBackupDatAndCancelRestoresIt) {
    TForm1& form = Start();
    ASSERT_EQ(std::vector<std::string>{"C:\\Program Files\\Cadenzo\\backup.dat.new"},
              regedit.exported);
    EXPECT_TRUE(win.shell.started.back().waited);
    EXPECT_TRUE(win.files.Exists("backup.dat"));
    EXPECT_FALSE(win.files.Exists(kNewBackup));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);  // changed behind our back
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(std::vector<std::string>{"C:\\Program Files\\Cadenzo\\backup.dat"}, regedit.imported);
    EXPECT_EQ(1u, Tiling());
    EXPECT_TRUE(win.registry.Value(SettingsKey, "LangFileName"));  // stored on the way out
}

TEST_F(BackupsTest, ExitInTheMenuIsCancel) {
    TForm1& form = Start();
    EXPECT_THROW(form.FindMenuItem("Exit1")->OnClick(), platform::ProcessEnded);
    EXPECT_EQ(1u, regedit.imported.size());
}

TEST_F(BackupsTest, CheckModeTakesNoBackupAndCancelRestoresNothing) {
    win.system.commandLine = "\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" /check";
    TForm1& form = Start();
    EXPECT_TRUE(regedit.exported.empty());
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_TRUE(regedit.imported.empty());
    EXPECT_TRUE(win.registry.Value(SettingsKey, "LangFileName"));
}

TEST_F(BackupsTest, AFailedStartBackupIsToldAndKeepsTheOlderFile) {
    win.files.Put("backup.dat", "older backup");
    regedit.exportsFail = true;
    TForm1& form = Start();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(
        "The registry backup \"backup.dat\" could not be written. Cancel will not restore "
        "the driver's settings of this start.",
        win.boxes.shown[0].text);
    EXPECT_EQ("older backup", win.files.Contents("backup.dat"));
    // Cancel must not go back to whatever an older run left in the file.
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_TRUE(regedit.imported.empty());
}

TEST_F(BackupsTest, AnEditorThatDoesNotFinishIsAFailedBackup) {
    regedit.hangs = true;
    EXPECT_FALSE(ExportDriverKey(os, demo::DriverKey, "backup.dat"));
    EXPECT_FALSE(win.files.Exists("backup.dat"));
    regedit.hangs = false;
    win.files.DenyWrites("C:\\Program Files\\Cadenzo");
    EXPECT_FALSE(ExportDriverKey(os, demo::DriverKey, "backup.dat"));
    EXPECT_FALSE(ExportDriverKey(os, "", "backup.dat"));  // no driver key, nothing exported
}

TEST_F(BackupsTest, PartOfAnExportWhenTheTimeRanOutKeepsTheOlderBackup) {
    regedit.hangs = true;
    regedit.writesOnly = 60;
    ExpectTheOlderBackupKept();
}

// The export is judged by its file, not by the editor's exit code, which is kept for the
// record: Windows documents none, and Wine's is 0 also when it wrote nothing.
TEST_F(BackupsTest, TheExitCodeIsRecordedButTheFileDecides) {
    regedit.exitCode = 1;
    BackupResult result = ExportDriverKey(os, demo::DriverKey, StartBackupFile);
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.editorEnded);
    EXPECT_EQ(1u, result.editorExitCode);
    EXPECT_EQ(regedit.ExportText(demo::DriverKey), win.files.Contents(StartBackupFile));
    regedit.exportsFail = true;
    ExpectTheOlderBackupKept();
    regedit.exitCode = 0;
    ExpectTheOlderBackupKept();
}

// An editor that ends at once and leaves the export to another process: the file is waited for
// until it is finished, and refused when the other process stops in the middle of it.
TEST_F(BackupsTest, AnExportWrittenAfterTheEditorEndedIsWaitedForNeverTakenHalfWritten) {
    regedit.handsOffFor = 5;
    win.files.Put(StartBackupFile, kOlderBackup);
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    EXPECT_EQ(regedit.ExportText(demo::DriverKey), win.files.Contents(StartBackupFile));
    EXPECT_GE(win.shell.pausedMs, 5u * ExportLookMs);
    EXPECT_FALSE(win.files.Exists(kNewBackup));

    std::size_t size = regedit.ExportText(demo::DriverKey).size();
    for (std::size_t cut : {std::size_t{60}, size / 2, size - 4, size - 2}) {
        SCOPED_TRACE(cut);
        regedit.writesOnly = cut;
        ExpectTheOlderBackupKept();
    }
    regedit.handsOffFor = 0;
    for (std::size_t cut : {size / 2, size - 2}) {  // an editor that stops in the middle
        SCOPED_TRACE(cut);
        regedit.writesOnly = cut;
        ExpectTheOlderBackupKept();
    }

    // Cut right after the driver key's own section: the file ends as an export does, but the
    // ddhal subkey with the anisotropy override is not in it.
    win.registry.SeedString(std::string(demo::DriverKey) + "\\ddhal", "AnisoDegree", "16");
    const std::string whole = regedit.ExportText(demo::DriverKey);
    std::size_t ddhal = platform::FakeRegedit::Text(whole).find(
        "[HKEY_LOCAL_MACHINE\\" + std::string(demo::DriverKey) + "\\ddhal]");
    ASSERT_NE(std::string::npos, ddhal);
    for (unsigned handsOffFor : {5u, 0u}) {
        SCOPED_TRACE(handsOffFor);
        regedit.handsOffFor = handsOffFor;
        regedit.writesOnly = 2 + 2 * ddhal;
        ASSERT_EQ(Utf16("\r\n\r\n").substr(2), whole.substr(regedit.writesOnly - 8, 8));
        std::uint64_t paused = win.shell.pausedMs;
        ExpectTheOlderBackupKept();
        // The editor leaves out a key it cannot read, and such a file stays as it is: it is
        // given up once it has not changed for a while, not after the editor's whole time.
        EXPECT_LT(win.shell.pausedMs - paused, 3000u);
    }
    regedit.writesOnly = std::string::npos;
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    EXPECT_EQ(whole, win.files.Contents(StartBackupFile));
}

TEST_F(BackupsTest, ALockedOlderBackupIsAFailedExportNotANewBackup) {
    win.files.Lock(StartBackupFile);
    ExpectTheOlderBackupKept();
}

TEST_F(BackupsTest, ARenameThatFailsKeepsTheOlderBackup) {
    win.files.DenyReplace(StartBackupFile);
    ExpectTheOlderBackupKept();
}

// Only a file that starts as the editor's exports do is taken for a backup.
TEST_F(BackupsTest, AnExportMustStartAsTheEditorsExportsDo) {
    // Empty, the editor's error text, a header without its line end or with more on its line,
    // Wine's header cut short, and in UTF-16LE without the byte-order mark.
    for (const std::string& notAnExport :
         {""s, "regedit: Unable to open the registry key\r\n"s, "REGEDIT4"s, "REGEDIT45\r\n"s,
          "\xFF\xFEW\0i\0n\0d\0o\0w\0s\0"s, "R\0E\0G\0E\0D\0I\0T\0004\0\r\0\n\0"s}) {
        SCOPED_TRACE(notAnExport);
        regedit.writesInstead = notAnExport;
        ExpectTheOlderBackupKept();
    }
    regedit.writesOnly = 20;  // cut within Wine's header
    regedit.writesInstead.reset();
    ExpectTheOlderBackupKept();

    regedit.writesOnly = std::string::npos;
    regedit.ansi = true;
    EXPECT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    EXPECT_EQ(0u, win.files.Contents(StartBackupFile)->rfind("REGEDIT4\r\n", 0));
    // The key's own section line must be there, in any letter case, and the empty line that
    // ends an export.
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::string section = "[HKEY_LOCAL_MACHINE\\" + std::string(demo::DriverKey) + "]\r\n";
    for (const std::string& notThisKey :
         {header, header + "[HKEY_LOCAL_MACHINE\\System\\Other]\r\n\r\n",
          header + section.substr(0, section.size() - 3) + "\\1]\r\n\r\n", header + section}) {
        SCOPED_TRACE(notThisKey);
        regedit.writesInstead = notThisKey;
        ExpectTheOlderBackupKept();
    }
    regedit.writesInstead = header + platform::UpperCase(section) + "\r\n";
    EXPECT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
}

TEST_F(BackupsTest, AProgramEndedDuringTheExportLeavesTheOlderBackup) {
    win.files.Put(StartBackupFile, kOlderBackup);
    regedit.programEndsWhileWaiting = true;
    regedit.writesOnly = 60;
    EXPECT_THROW(ExportDriverKey(os, demo::DriverKey, StartBackupFile), platform::ProcessEnded);
    EXPECT_EQ(kOlderBackup, win.files.Contents(StartBackupFile));
    // The next run's editor writes nothing: the part the last one left is not its export.
    regedit.programEndsWhileWaiting = false;
    regedit.exportsFail = true;
    ExpectTheOlderBackupKept();
    regedit.exportsFail = false;
    regedit.writesOnly = std::string::npos;
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    EXPECT_EQ(0u, win.files.Contents(StartBackupFile)->rfind("\xFF\xFEW", 0));  // Wine's form
    EXPECT_FALSE(win.files.Exists(kNewBackup));
    // A leftover that cannot be removed fails the export before the editor starts.
    win.files.Put(kNewBackup, "");
    win.files.Lock(kNewBackup);
    std::size_t starts = win.shell.started.size();
    EXPECT_FALSE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    EXPECT_EQ(starts, win.shell.started.size());
}

TEST_F(BackupsTest, AnImportIsReportedOnlyWhenTheEditorRanToTheEnd) {
    EXPECT_FALSE(ImportBackup(os, StartBackupFile));  // no file: the editor is not started
    EXPECT_TRUE(win.shell.started.empty());
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, StartBackupFile));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    regedit.hangs = true;
    EXPECT_FALSE(ImportBackup(os, StartBackupFile));
    regedit.hangs = false;
    regedit.notInstalled = true;
    EXPECT_FALSE(ImportBackup(os, StartBackupFile));
    EXPECT_EQ(0u, Tiling());
    regedit.notInstalled = false;
    // An editor that ends without writing (Wine's, for a file it could not read) did not
    // import it, whatever its exit code; one that hands the import to another process that
    // does it later is waited for.
    regedit.importsNothing = true;
    EXPECT_FALSE(ImportBackup(os, StartBackupFile));
    EXPECT_GE(win.shell.pausedMs, ImportSettleMs);
    EXPECT_EQ(0u, Tiling());
    regedit.importsNothing = false;
    regedit.handsOffFor = 3;
    EXPECT_TRUE(ImportBackup(os, StartBackupFile));
    EXPECT_EQ(1u, Tiling());

    // A file that is no backup of a driver key is not handed to the editor: one that does not
    // read to its end, one that would also write outside the key it starts with.
    const std::string section = "[HKEY_LOCAL_MACHINE\\" + std::string(demo::DriverKey) + "]\r\n";
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::string run =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
    std::size_t starts = win.shell.started.size();
    for (const std::string& notABackup :
         {header + section + "\"DisableTiling\"=dword:1x\r\n\r\n",
          Utf16(header + section + "\r\n" + run + "\"Tool\"=\"tool.exe\"\r\n\r\n"),
          header + "[HKEY_CURRENT_USER\\Software]\r\n\r\n"}) {
        SCOPED_TRACE(notABackup);
        win.files.Put(StartBackupFile, notABackup);
        EXPECT_FALSE(ImportBackup(os, StartBackupFile));
    }
    EXPECT_EQ(starts, win.shell.started.size());
}

// An import writes the values its file names and no others: a rule, a switch or an override
// the program added since the backup would stay behind. Every undo takes them out again.
TEST_F(BackupsTest, AnUndoLeavesTheDriverKeyAsItsBackupHoldsItByteForByte) {
    demo::SeedDriverProfile(win);
    const std::string ddhal = std::string(demo::DriverKey) + "\\ddhal";
    // Before the first run: no minimum resolution, no native-modes rule, one switch and the
    // anisotropy override absent; the ddhal key with a value of the driver's own.
    for (const auto& [key, name] :
         {std::pair<std::string, std::string>{demo::DriverKey, "DALOPTION_MinResBCD"},
          {demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE"},
          {demo::DriverKey, "DisableUSWC"},
          {ddhal, "AnisoDegree"}})
        DeleteRegValue(win.registry, key, name);
    win.registry.SeedDword(ddhal, "TextureOpt", 3);
    const demo::KeyContents before = demo::DriverKeyContents(win.registry);
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, FirstRunFile));
    TForm1& form = Start();  // backup.dat
    auto change = [&] {
        win.registry.Seed(demo::DriverKey, "DALOPTION_MinResBCD", platform::RegBinary,
                          {0x06, 0x40, 0x04, 0x80});
        win.registry.SeedDword(demo::DriverKey, "DALRULE_ADDNATIVEMODESTOMODETABLE", 1);
        win.registry.SeedDword(demo::DriverKey, "DisableUSWC", 1);
        win.registry.SeedDword(demo::DriverKey, "DisableTiling", 1);
        win.registry.SeedString(ddhal, "AnisoDegree", "8");
        win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary, {});
    };
    change();
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));

    change();
    EXPECT_EQ(UninstallResult::Restored, program.UninstallFromCommandLine(true));
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));

    // A value that cannot be deleted leaves the key unlike its backup: no restore.
    change();
    win.registry.ProtectFromWrites(demo::DriverKey);
    EXPECT_FALSE(ImportBackup(os, FirstRunFile));
}

TEST_F(BackupsTest, RestoreRegistryImportsLastKnownGoodAsksAndEnds) {
    TForm1& form = Start();
    win.files.Put("lastknowngood.dat", "");
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, "lastknowngood.dat"));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    win.boxes.answers = {platform::Answer::No};
    EXPECT_THROW(form.FindMenuItem("RestoreRegistry1")->OnClick(), platform::ProcessEnded);
    EXPECT_EQ("C:\\Program Files\\Cadenzo\\lastknowngood.dat", regedit.imported.back());
    EXPECT_EQ(1u, Tiling());
    EXPECT_EQ("Registry restored from backup. Restart now?", win.boxes.shown.back().text);
    EXPECT_EQ("Restart Needed", win.boxes.shown.back().caption);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());

    win.boxes.answers = {platform::Answer::Yes};
    EXPECT_THROW(form.bRestore.Click(), platform::ProcessEnded);
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    EXPECT_EQ(Lines(2, "I Restore Registry: lastknowngood.dat"), demo::EventLogEntries(win));
}

TEST_F(BackupsTest, AcceptedRestoreAtStartRestoresInsteadOfTakingABackup) {
    win.files.Put("lastknowngood.dat", "");
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, "lastknowngood.dat"));
    regedit.exported.clear();
    program.RestoreWanted = true;
    win.boxes.answers = {platform::Answer::No};
    TForm1& form = program.CreateMainWindow();
    EXPECT_THROW(form.Paint(), platform::ProcessEnded);
    EXPECT_TRUE(regedit.exported.empty());
    EXPECT_EQ(1u, regedit.imported.size());
    EXPECT_EQ(Lines{"Restore Registry: lastknowngood.dat, offered at start"},
              demo::HistoryLines(win));
}

TEST_F(BackupsTest, UninstallAsksRestoresFirstRunAndRemovesTheSettings) {
    TForm1& form = Start();
    win.files.Put("firstrun.dat", "");
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, "firstrun.dat"));
    win.registry.SeedDword("SOFTWARE\\Korvex\\Cadenzo\\Sub", "X", 1);
    win.boxes.answers = {platform::Answer::No};
    form.FindMenuItem("Uninstall1")->OnClick();
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));
    EXPECT_TRUE(regedit.imported.empty());

    win.boxes.answers = {platform::Answer::Yes};
    form.FindMenuItem("Uninstall1")->OnClick();  // the program goes on
    EXPECT_EQ("C:\\Program Files\\Cadenzo\\firstrun.dat", regedit.imported.back());
    EXPECT_FALSE(win.registry.KeyExists(SettingsKey));
    EXPECT_EQ("Program deleted sucssessifully. Registry changes will be impemented after restart.",
              win.boxes.shown.back().text);
    EXPECT_EQ("OK", win.boxes.shown.back().caption);
    // Leaving through Cancel keeps the uninstalled state: this start's backup stays out.
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(1u, regedit.imported.size());
    EXPECT_FALSE(win.registry.KeyExists(SettingsKey));
    EXPECT_EQ(Lines{"Uninstall: firstrun.dat, from the menu"}, demo::HistoryLines(win));
}

TEST_F(BackupsTest, UninstallSwitchesAreWordsOfTheirOwnAfterTheProgramPath) {
    const std::string program = "\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" ";
    EXPECT_TRUE(HasUninstallSwitch(program + "/uninstall"));
    EXPECT_FALSE(HasSilentSwitch(program + "/uninstall"));
    EXPECT_TRUE(HasUninstallSwitch(program + "/S\t/Uninstall"));
    EXPECT_TRUE(HasSilentSwitch(program + "/UNINSTALL /s"));
    EXPECT_FALSE(HasUninstallSwitch(program + "/UNINSTALLED"));
    EXPECT_FALSE(HasSilentSwitch(program + "/UNINSTALL /SILENT"));
    EXPECT_FALSE(HasUninstallSwitch(program + "/CHECK"));
    // The program's own path is no switch, however it is written.
    EXPECT_FALSE(HasUninstallSwitch("\"C:\\Tools /UNINSTALL\\Cadenzo.exe\""));
    EXPECT_FALSE(HasSilentSwitch("/S /UNINSTALL"));
}

// An uninstaller calls the program to put the driver's first settings back: no window, no
// question in the silent form, and an exit code it can act on.
TEST_F(BackupsTest, UninstallSwitchRestoresWithoutAWindowAndTellsByItsExitCode) {
    // A language file that is gone would have its own error box: none in the silent form.
    win.registry.SeedString(SettingsKey, "LangFileName", "Gone.lng");
    EXPECT_EQ(UninstallResult::NoBackup, program.UninstallFromCommandLine(true));
    EXPECT_TRUE(regedit.imported.empty());
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));

    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, FirstRunFile));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);  // changed since the first run
    regedit.hangs = true;
    EXPECT_EQ(UninstallResult::RestoreFailed, program.UninstallFromCommandLine(true));
    EXPECT_EQ(0u, Tiling());
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));  // so that it can be tried again
    EXPECT_TRUE(win.files.Exists(FirstRunFile));

    regedit.hangs = false;
    EXPECT_EQ(UninstallResult::Restored, program.UninstallFromCommandLine(true));
    EXPECT_EQ("C:\\Program Files\\Cadenzo\\firstrun.dat", regedit.imported.back());
    EXPECT_TRUE(win.shell.started.back().waited);
    EXPECT_EQ(1u, Tiling());
    EXPECT_FALSE(win.registry.KeyExists(SettingsKey));
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(nullptr, app.MainForm());
    EXPECT_EQ((Lines{"E Restore failed: Uninstall (/UNINSTALL /S): firstrun.dat is not there",
                     "E Restore failed: Uninstall (/UNINSTALL /S): firstrun.dat did not go in",
                     "I Uninstall: firstrun.dat, from /UNINSTALL /S"}),
              demo::EventLogEntries(win));
}

TEST_F(BackupsTest, UninstallSwitchWithoutSilentAsksAndTellsAsTheMenuDoes) {
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, FirstRunFile));
    win.boxes.answers = {platform::Answer::No};
    EXPECT_EQ(UninstallResult::Declined, program.UninstallFromCommandLine(false));
    EXPECT_EQ("A you sure to uninstall this program?", win.boxes.shown.back().text);
    EXPECT_TRUE(regedit.imported.empty());
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));

    win.boxes.answers = {platform::Answer::Yes};
    EXPECT_EQ(UninstallResult::Restored, program.UninstallFromCommandLine(false));
    EXPECT_EQ("Program deleted sucssessifully. Registry changes will be impemented after restart.",
              win.boxes.shown.back().text);
    EXPECT_FALSE(win.registry.KeyExists(SettingsKey));
    EXPECT_EQ(nullptr, app.MainForm());
}

TEST_F(BackupsTest, RestoreSwitchIsAWordOfItsOwnAfterTheProgramPath) {
    const std::string program = "\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" ";
    EXPECT_TRUE(HasRestoreSwitch(program + "/restore"));
    EXPECT_TRUE(HasRestoreSwitch("cadenzo /Restore"));  // as typed into Run
    EXPECT_FALSE(HasRestoreSwitch(program + "/RESTORED"));
    EXPECT_FALSE(HasRestoreSwitch(program + "/UNINSTALL"));
    EXPECT_FALSE(HasRestoreSwitch("\"C:\\Tools /RESTORE\\Cadenzo.exe\""));
}

// Typed blind: no window, no question, no message even when a step fails; the exit code says
// what happened.
TEST_F(BackupsTest, RestoreSwitchPutsBackTheSettingsBeforeTheLastOkDropsTheCheckAndRestarts) {
    win.system.privilegeHeld = false;  // its notice would wait for a click nobody can give
    EXPECT_EQ(RestoreResult::NoBackup, program.RestoreFromCommandLine());
    EXPECT_TRUE(regedit.imported.empty());

    // A change was applied and its check is pending.
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, LastKnownGoodFile));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    win.registry.SeedString(RunOnceKey, RunOnceValue,
                            "\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" /CHECK");
    win.registry.SeedDword(SettingsKey, CheckStartsValue, 1);
    regedit.hangs = true;
    EXPECT_EQ(RestoreResult::RestoreFailed, program.RestoreFromCommandLine());
    EXPECT_EQ(0u, Tiling());
    EXPECT_TRUE(win.registry.Value(RunOnceKey, RunOnceValue));  // the check may still restore
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());
    EXPECT_TRUE(win.system.sounds.empty());

    regedit.hangs = false;
    std::size_t heardAtImport = 1;
    auto editor = win.shell.onStart;
    win.shell.onStart = [&](const platform::Launch& launch) {
        heardAtImport = win.system.sounds.size();
        return editor(launch);
    };
    EXPECT_EQ(RestoreResult::Restored, program.RestoreFromCommandLine());
    EXPECT_EQ("C:\\Program Files\\Cadenzo\\lastknowngood.dat", regedit.imported.back());
    EXPECT_EQ(1u, Tiling());
    EXPECT_FALSE(win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_FALSE(win.registry.Value(SettingsKey, CheckStartsValue));
    EXPECT_EQ(0u, heardAtImport);  // the sound says it is done, so it comes after the import
    EXPECT_EQ(std::vector<platform::Sound>{platform::Sound::Restoring}, win.system.sounds);
    ASSERT_FALSE(win.system.sleeps.empty());
    EXPECT_EQ(5000u, win.system.sleeps.back());
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot | platform::EwxForceIfHung},
              win.system.exitWindowsCalls);
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(nullptr, app.MainForm());
    EXPECT_EQ(
        (Lines{"E Restore failed: /RESTORE: neither lastknowngood.dat nor firstrun.dat is there",
               "E Restore failed: /RESTORE: lastknowngood.dat did not go in",
               "I /RESTORE: lastknowngood.dat"}),
        demo::EventLogEntries(win));
}

TEST_F(BackupsTest, RestoreSwitchTakesFirstRunWithoutLastKnownGood) {
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, FirstRunFile));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    EXPECT_EQ(RestoreResult::Restored, program.RestoreFromCommandLine());
    EXPECT_EQ(std::vector<std::string>{"C:\\Program Files\\Cadenzo\\firstrun.dat"},
              regedit.imported);
    EXPECT_EQ(1u, Tiling());
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));  // unlike Uninstall, the settings stay
}

TEST_F(BackupsTest, SafeModeAsksFirstAndYesRestoresAsTheSwitchDoes) {
    EXPECT_FALSE(program.RestoreInSafeMode());  // an ordinary boot asks nothing
    EXPECT_TRUE(win.boxes.shown.empty());

    win.system.safeMode = true;
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, LastKnownGoodFile));
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 0);
    win.boxes.answers = {platform::Answer::No};
    EXPECT_FALSE(program.RestoreInSafeMode());
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(
        "Windows runs in Safe Mode. Restore the display driver's settings from before the "
        "last change and restart Windows?",
        win.boxes.shown.back().text);
    EXPECT_EQ("Safe Mode", win.boxes.shown.back().caption);
    EXPECT_TRUE(regedit.imported.empty());

    win.boxes.answers = {platform::Answer::Yes};
    EXPECT_TRUE(program.RestoreInSafeMode());
    EXPECT_EQ(1u, Tiling());
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot | platform::EwxForceIfHung},
              win.system.exitWindowsCalls);

    // Without a backup it says so and the program goes on to its window.
    win.files.Remove(LastKnownGoodFile);
    win.boxes.answers = {platform::Answer::Yes};
    EXPECT_FALSE(program.RestoreInSafeMode());
    EXPECT_NE(std::string::npos, win.boxes.shown.back().text.find("lastknowngood.dat\" could not"));
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    EXPECT_EQ((Lines{"/RESTORE: lastknowngood.dat, offered in Safe Mode",
                     "Restore failed: /RESTORE, offered in Safe Mode: neither lastknowngood.dat "
                     "nor firstrun.dat is there"}),
              demo::HistoryLines(win));
}

TEST_F(BackupsTest, AnUndoWhoseBackupDidNotGoBackInSaysSoAndGoesNoFurther) {
    TForm1& form = Start();
    const std::string failed =
        "The registry backup \"C:\\Program Files\\Cadenzo\\%s\" could not be restored: the "
        "file is missing or the registry editor did not finish. Nothing was changed by it. To "
        "restore it by hand, double-click the file in Explorer, or import it with regedit.exe.";
    auto failedFor = [&failed](const std::string& file) {
        std::string text = failed;
        return text.replace(text.find("%s"), 2, file);
    };

    // Uninstall without firstrun.dat keeps the settings, so it can be tried again.
    win.boxes.answers = {platform::Answer::Yes};
    form.FindMenuItem("Uninstall1")->OnClick();
    EXPECT_EQ(failedFor("firstrun.dat"), win.boxes.shown.back().text);
    EXPECT_EQ("Error", win.boxes.shown.back().caption);
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));
    EXPECT_FALSE(win.registry.Value(SettingsKey, FirstRunPendingValue));  // a start is ordinary

    // Restore Registry whose editor does not finish offers no restart; the program ends.
    win.files.Put("lastknowngood.dat", "");
    regedit.hangs = true;
    EXPECT_THROW(form.bRestore.Click(), platform::ProcessEnded);
    EXPECT_EQ(failedFor("lastknowngood.dat"), win.boxes.shown.back().text);
    EXPECT_TRUE(win.system.exitWindowsCalls.empty());

    // Cancel tells, and still stores the language name on its way out.
    win.files.Remove("backup.dat");
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(failedFor("backup.dat"), win.boxes.shown.back().text);
    EXPECT_TRUE(win.registry.Value(SettingsKey, "LangFileName"));

    EXPECT_EQ((Lines{"E Restore failed: Uninstall (the menu): firstrun.dat is not there",
                     "E Restore failed: Restore Registry: lastknowngood.dat did not go in",
                     "E Restore failed: Cancel: backup.dat did not go in"}),
              demo::EventLogEntries(win));
}

}  // namespace
