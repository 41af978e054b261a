#include "safety/Restore.h"

#include "platform/CommandLine.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

std::string RestoreBackupFile(platform::Platform& os) {
    std::string installDir = GetInstallDir(os.registry);
    // While a change waits for its check, the settings from before its first OK.
    std::string before = ReadChange(os.registry).beforeFile;
    bool found = os.files.Exists(InstallPath(installDir, before));
    return !found && os.files.Exists(InstallPath(installDir, FirstRunFile)) ? FirstRunFile : before;
}

RestoreResult RestoreAndRestart(platform::Platform& os, bool inSafeMode) {
    std::string backup = RestoreBackupFile(os);
    std::string how = inSafeMode ? ", offered in Safe Mode" : "";
    if (!os.files.Exists(InstallPath(GetInstallDir(os.registry), backup))) {
        RecordEvent(os, HistoryEvent::RestoreFailed,
                    std::string(RestoreSwitch) + how + ": neither " + LastKnownGoodFile + " nor " +
                        FirstRunFile + " is there");
        return RestoreResult::NoBackup;
    }
    // The check stays armed while the import may not have gone in: it restores by itself
    // after the restart, where this could not.
    WriterLock lock(os, RestoreWriterWaitMs);
    if (!lock.Held()) return RestoreResult::Busy;
    PutBackStoredModes(os);
    if (!ImportBackup(os, backup)) {
        RecordEvent(os, HistoryEvent::RestoreFailed,
                    std::string(RestoreSwitch) + how + ": " + backup + " did not go in");
        return RestoreResult::RestoreFailed;
    }
    RecordEvent(os, HistoryEvent::RestoreCommand, backup + how);
    EndChange(os);
    os.system.Beep(platform::Sound::Restoring);
    os.system.Sleep(RestoreRestartDelayMs);
    RestartWindows(os, std::nullopt);
    return RestoreResult::Restored;
}

bool OfferRestoreInSafeMode(platform::Platform& os, const LanguageState& language) {
    if (!os.system.SafeMode()) return false;
    if (!platform::AskYesNo(os.boxes, language.Text(TextId::SafeModeQuestion),
                            language.Text(TextId::SafeModeCaption)))
        return false;
    if (RestoreAndRestart(os, true) == RestoreResult::Restored) return true;
    ShowRestoreFailed(os, RestoreBackupFile(os));
    return false;
}

bool HasRestoreSwitch(const std::string& commandLine) {
    return platform::HasCommandLineWord(commandLine, RestoreSwitch);
}
