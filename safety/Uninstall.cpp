#include "safety/Uninstall.h"

#include "keep/Watch.h"
#include "platform/CommandLine.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

constexpr char kUninstalledCaption[] = "OK";

}  // namespace

UninstallResult Uninstall(platform::Platform& os, RegistryCursor& registry,
                          const LanguageState& language, bool silent, const std::string& origin) {
    if (!silent && !platform::AskYesNo(os.boxes, language.Text(TextId::UninstallQuestion),
                                       language.Text(TextId::UninstallCaption))) {
        return UninstallResult::Declined;
    }
    WriterLock lock(os);
    if (!lock.Held()) {
        if (!silent) {
            platform::ShowNotice(os.boxes, language.Text(TextId::WriterBusy),
                                 language.Text(TextId::WriterBusyCaption));
        }
        return UninstallResult::Busy;
    }
    std::string backup = InstallPath(GetInstallDir(os.registry), FirstRunFile);
    bool present = os.files.Exists(backup);
    // The settings stay until the driver's first settings are back, so Uninstall can be tried
    // again; meanwhile no start may take firstrun.dat anew from a half-restored key.
    if (present) WriteRegDword(os.registry, SettingsKey, FirstRunPendingValue, 1);
    if (!present || !ImportBackup(os, FirstRunFile)) {
        if (present) DeleteRegValue(os.registry, SettingsKey, FirstRunPendingValue);
        RecordEvent(os, HistoryEvent::RestoreFailed,
                    "Uninstall (" + origin + "): " + FirstRunFile +
                        (present ? " did not go in" : " is not there"));
        if (!silent) {
            ShowRestoreFailed(os, FirstRunFile);
        }
        return present ? UninstallResult::RestoreFailed : UninstallResult::NoBackup;
    }
    // While the settings key still names the install directory, where the log lies.
    RecordEvent(os, HistoryEvent::Uninstall, FirstRunFile + (", from " + origin));
    // A change waiting for its check is over: its check must not run after the program is gone.
    EndChange(os);
    // The settings key takes the record of the applied rates with it; the watch at logon goes too.
    registry.DeleteKey(FromRoot(SettingsKey));
    EnableWatch(os.registry, "", false);
    if (!silent) {
        platform::ShowNotice(os.boxes, language.Text(TextId::Uninstalled), kUninstalledCaption);
    }
    return UninstallResult::Restored;
}

bool HasUninstallSwitch(const std::string& commandLine) {
    return platform::HasCommandLineWord(commandLine, UninstallSwitch);
}

bool HasSilentSwitch(const std::string& commandLine) {
    return platform::HasCommandLineWord(commandLine, SilentSwitch);
}
