#include "apply/StartBackup.h"

#include "safety/Backups.h"
#include "services/Format.h"
#include "services/WriterLock.h"

namespace {

constexpr char kStartBackupBusyText[] =
    "Another Cadenzo is changing the display driver's settings right now, so the registry backup "
    "\"%s\" of this start was not taken. Cancel will not restore the driver's settings of this "
    "start.";

}  // namespace

StartBackup TakeStartBackup(platform::Platform& os, const AdapterState& adapter,
                            const LanguageState& language) {
    if (!adapter.HasDriverKey()) return StartBackup::Failed;
    bool taken = false;
    {
        // A copy taken while another Cadenzo writes could hold its change half made: Cancel
        // would bring back settings that never were.
        WriterLock lock(os);
        if (!lock.Held()) {
            platform::ShowNotice(os.boxes, FormatText(kStartBackupBusyText, StartBackupFile),
                                 language.Text(TextId::WriterBusyCaption));
            return StartBackup::Busy;
        }
        taken = ExportDriverKey(os, adapter.DriverKey, StartBackupFile).written;
    }
    if (!taken) {
        platform::ShowNotice(os.boxes, FormatText(StartBackupFailedText, StartBackupFile),
                             BackupFailedCaption);
        return StartBackup::Failed;
    }
    return StartBackup::Taken;
}
