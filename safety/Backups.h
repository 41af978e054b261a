#pragma once
// The registry backups: the driver key exported by the system's registry editor into a file
// in the install directory, and imported from it again to undo.

#include <string>

#include "platform/Platform.h"
#include "services/RunProgram.h"

constexpr char StartBackupFile[] = "backup.dat";           // the key as this run found it
constexpr char LastKnownGoodFile[] = "lastknowngood.dat";  // as it was before the last OK
constexpr char FirstRunFile[] = "firstrun.dat";  // before the program first lifted restrictions

// How long the program waits for the registry editor before it gives up on a backup.
constexpr unsigned BackupTimeoutMs = 30000;
// An export is written under the backup's name with this added, in the same directory, and
// takes the backup's name only once it is whole.
constexpr char NewBackupSuffix[] = ".new";

constexpr char BackupFailedText[] =
    "The registry backup \"%s\" could not be written, so the driver's settings were not "
    "changed.";
constexpr char StartBackupFailedText[] =
    "The registry backup \"%s\" could not be written. Cancel will not restore the driver's "
    "settings of this start.";
constexpr char BackupFailedCaption[] = "Error";
constexpr char RestoreFailedText[] =
    "The registry backup \"%s\" could not be restored: the file is missing or the registry "
    "editor did not finish. Nothing was changed by it. To restore it by hand, double-click the "
    "file in Explorer, or import it with regedit.exe.";
constexpr char RestoreFailedCaption[] = "Error";
// Says that backup `fileName` of the install directory could not be restored, and what to do.
void ShowRestoreFailed(platform::Platform& os, const std::string& fileName);

// The registry editor's command line that exports HKEY_LOCAL_MACHINE\`driverKey` into
// `fileName` in the install directory.
std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey);
// The command line that imports `fileName` from the install directory. The path is quoted:
// an install directory such as "C:\Program Files\Cadenzo" would otherwise split in two.
std::string ImportParameters(const std::string& installDir, const std::string& fileName);

// Exports the driver key into `fileName` in the install directory and waits for the registry
// editor. True only when the editor ended in time with exit code 0 and left a file that
// starts as an export does, which then takes the backup's name in one rename. On failure the
// backup is as it was: an older one is never lost, not even when the program ends during the
// wait.
bool ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                     const std::string& fileName);

// Imports `fileName` from the install directory into the registry, waiting (a bounded time)
// for the registry editor, so that nothing the program does next, a restart included,
// overtakes the import. False when the file is missing (the editor is not started) or the
// editor did not start or did not end in time. Its exit code tells nothing: Wine's editor
// ends with 0 also for a file it could not read.
bool ImportBackup(platform::Platform& os, const std::string& fileName);
