// The main window's commands that undo changes: Cancel, Restore Registry and Uninstall, and
// the backup every ordinary start takes.

#include "app/TForm1.h"
#include "safety/Backups.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
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

// Puts the backup back; when it could not be, says so, with the file and what to do.
bool Restore(platform::Platform& os, const std::string& fileName) {
    if (ImportBackup(os, fileName)) return true;
    os.boxes.Show(FormatText(RestoreFailedText, InstallPath(GetInstallDir(os.registry), fileName)),
                  RestoreFailedCaption, platform::Buttons::Ok, platform::Icon::None);
    return false;
}

}  // namespace

void TForm1::TakeStartBackup() {
    platform::Platform& os = state.os;
    if (!state.adapter.HasDriverKey()) return;  // nothing to protect, nothing will be written
    state.StartBackupTaken = ExportDriverKey(os, state.adapter.DriverKey, StartBackupFile);
    if (!state.StartBackupTaken) {
        os.boxes.Show(FormatText(StartBackupFailedText, StartBackupFile), BackupFailedCaption,
                      platform::Buttons::Ok, platform::Icon::None);
    }
}

void TForm1::CancelClick() {
    platform::Platform& os = state.os;
    // Only a backup this run took is the state to go back to; an older file would undo more.
    if (!state.CheckMode && state.StartBackupTaken) Restore(os, StartBackupFile);
    SaveLangFileName(os.registry, state.language.LanguageFile);
    os.system.ExitProcess(0);
}

void TForm1::bRestoreClick() {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    // A restart is offered only for settings that really went back in.
    if (Restore(os, LastKnownGoodFile) &&
        os.boxes.Show(language.Text(71, kRestoredQuestion), language.Text(72, kRestoredCaption),
                      platform::Buttons::YesNo, platform::Icon::None) == platform::Answer::Yes) {
        RestartWindows(os);
    }
    os.system.ExitProcess(0);
}

void TForm1::Uninstall1Click() {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    if (os.boxes.Show(language.Text(75, kUninstallQuestion), language.Text(74, kUninstallCaption),
                      platform::Buttons::YesNo, platform::Icon::None) != platform::Answer::Yes) {
        return;
    }
    // The settings stay until the driver's first settings are back, so Uninstall can be tried
    // again; meanwhile no start may take firstrun.dat anew from a half-restored key.
    WriteRegDword(os.registry, SettingsKey, FirstRunPendingValue, 1);
    if (!Restore(os, FirstRunFile)) {
        DeleteRegValue(os.registry, SettingsKey, FirstRunPendingValue);
        return;
    }
    MachineRegistry.DeleteKey(FromRoot(SettingsKey));
    os.boxes.Show(language.Text(76, kUninstalledText), kUninstalledCaption, platform::Buttons::Ok,
                  platform::Icon::None);
}
