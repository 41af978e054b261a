// The main window's commands that undo changes: Cancel, Restore Registry and Uninstall, and
// the backup every ordinary start takes.

#include "app/TForm1.h"
#include "apply/StartBackup.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "safety/Uninstall.h"
#include "services/Format.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

// Puts the backup back; when it could not be, says so, with the file and what to do, and the
// history tells which command failed. Not while another Cadenzo changes the settings: that is
// said instead.
bool Restore(platform::Platform& os, const LanguageState& language, const std::string& fileName,
             const std::string& command) {
    WriterLock lock(os);
    if (!lock.Held()) {
        platform::ShowNotice(os.boxes, language.Text(TextId::WriterBusy),
                             language.Text(TextId::WriterBusyCaption));
        return false;
    }
    if (ImportBackup(os, fileName)) return true;
    RecordEvent(os, HistoryEvent::RestoreFailed, command + ": " + fileName + " did not go in");
    // The message may stay open long: another Cadenzo's restore need not wait for it.
    lock.Release();
    ShowRestoreFailed(os, fileName);
    return false;
}

}  // namespace

void TForm1::TakeStartBackup() {
    // Without a driver key there is nothing to protect, and nothing will be written.
    if (!state.adapter.HasDriverKey()) return;
    state.StartBackupTaken =
        ::TakeStartBackup(state.os, state.adapter, state.language) == StartBackup::Taken;
}

void TForm1::CancelClick() {
    platform::Platform& os = state.os;
    // Only a backup this run took is the state to go back to; an older file would undo more.
    if (!state.CheckMode && state.StartBackupTaken)
        Restore(os, state.language, StartBackupFile, "Cancel");
    SaveLangFileName(os.registry, state.language.LanguageFile);
    os.system.ExitProcess(0);
}

void TForm1::bRestoreClick() {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    // A restart is offered only for settings that really went back in. The first paint does
    // this when the user accepted the offer at start. A change still waiting for its check
    // takes back the display mode it began with too.
    PutBackStoredModes(os);
    bool restored = Restore(os, language, LastKnownGoodFile, "Restore Registry");
    if (restored) {
        RecordEvent(
            os, HistoryEvent::RestoreRegistry,
            LastKnownGoodFile + std::string(state.RestoreWanted ? ", offered at start" : ""));
        EndChange(os);
    }
    if (restored && platform::AskYesNo(os.boxes, language.Text(TextId::RestoredQuestion),
                                       language.Text(TextId::RestoredCaption))) {
        RestartWindows(os);
    }
    os.system.ExitProcess(0);
}

void TForm1::Uninstall1Click() {
    // The driver's first settings are then the ones to keep: Cancel or Exit afterwards must not
    // bring back this start's backup over them.
    if (Uninstall(state.os, MachineRegistry, state.language, false, "the menu") ==
        UninstallResult::Restored)
        state.StartBackupTaken = false;
}
