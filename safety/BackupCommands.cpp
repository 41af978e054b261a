// The main window's commands that undo changes: Cancel, Restore Registry and Uninstall, and
// the backup every ordinary start takes.

#include "app/Program.h"
#include "app/TForm1.h"
#include "safety/Backups.h"
#include "services/Format.h"
#include "services/Restart.h"
#include "services/Settings.h"

namespace {

constexpr char kRestoredQuestion[] = "Registry restored from backup. Restart now?";
constexpr char kRestoredCaption[] = "Restart Needed";
constexpr char kUninstallQuestion[] = "A you sure to uninstall this program?";
constexpr char kUninstallCaption[] = "?";
constexpr char kUninstalledText[] =
    "Program deleted sucssessifully. Registry changes will be impemented after restart.";
constexpr char kUninstalledCaption[] = "OK";

}  // namespace

void TForm1::TakeStartBackup() {
    platform::Platform& os = program.os;
    if (!program.adapter.HasDriverKey()) return;  // nothing to protect, nothing will be written
    program.StartBackupTaken = ExportDriverKey(os, program.adapter.DriverKey, StartBackupFile);
    if (!program.StartBackupTaken) {
        os.boxes.Show(FormatText(StartBackupFailedText, StartBackupFile), BackupFailedCaption,
                      platform::Buttons::Ok, platform::Icon::None);
    }
}

void TForm1::CancelClick() {
    platform::Platform& os = program.os;
    // Only a backup this run took is the state to go back to; an older file would undo more.
    if (!program.CheckMode && program.StartBackupTaken) ImportBackup(os, StartBackupFile);
    SaveLangFileName(os.registry, program.language);
    os.system.ExitProcess(0);
}

void TForm1::bRestoreClick() {
    platform::Platform& os = program.os;
    const LanguageState& language = program.language;
    ImportBackup(os, LastKnownGoodFile);
    if (os.boxes.Show(language.Text(71, kRestoredQuestion), language.Text(72, kRestoredCaption),
                      platform::Buttons::YesNo, platform::Icon::None) == platform::Answer::Yes) {
        RestartWindows(os);
    }
    os.system.ExitProcess(0);
}

void TForm1::Uninstall1Click() {
    platform::Platform& os = program.os;
    const LanguageState& language = program.language;
    if (os.boxes.Show(language.Text(75, kUninstallQuestion), language.Text(74, kUninstallCaption),
                      platform::Buttons::YesNo, platform::Icon::None) != platform::Answer::Yes) {
        return;
    }
    ImportBackup(os, FirstRunFile);
    program.MachineRegistry->DeleteKey(SettingsKeyFromRoot);
    os.boxes.Show(language.Text(76, kUninstalledText), kUninstalledCaption, platform::Buttons::Ok,
                  platform::Icon::None);
}
