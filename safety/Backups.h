#pragma once
// The registry backups: the driver key exported by the system's registry editor into a file
// in the install directory, and imported from it again to undo.

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "services/RunProgram.h"

inline constexpr char StartBackupFile[] = "backup.dat";           // the key as this run found it
inline constexpr char LastKnownGoodFile[] = "lastknowngood.dat";  // as it was before the last OK
inline constexpr char FirstRunFile[] =
    "firstrun.dat";  // before the program first lifted restrictions

// How long the program waits for the registry editor before it gives up on a backup.
constexpr unsigned BackupTimeoutMs = 30000;
// After the editor ended, how often the export is looked at while it is not finished, and how
// long a file that is not there at all is waited for.
constexpr unsigned ExportLookMs = 100;
constexpr unsigned ExportAppearMs = 2000;
// After the editor ended, how long an import is waited for to be found in the registry (a
// 32-bit editor on 64-bit Windows may hand it to the 64-bit one and end first).
constexpr unsigned ImportSettleMs = 5000;

inline constexpr char BackupFailedText[] =
    "The registry backup \"%s\" could not be written, so the driver's settings were not "
    "changed.";
inline constexpr char StartBackupFailedText[] =
    "The registry backup \"%s\" could not be written. Cancel will not restore the driver's "
    "settings of this start.";
inline constexpr char BackupFailedCaption[] = "Error";
inline constexpr char RestoreFailedText[] =
    "The registry backup \"%s\" could not be restored: the file is missing or the registry "
    "editor did not finish. Nothing was changed by it. To restore it by hand, double-click the "
    "file in Explorer, or import it with regedit.exe.";
inline constexpr char RestoreFailedCaption[] = "Error";
// Says that backup `fileName` of the install directory could not be restored, and what to do.
void ShowRestoreFailed(platform::Platform& os, const std::string& fileName);

// The registry editor's command line that exports HKEY_LOCAL_MACHINE\`driverKey` into
// `fileName` in the install directory.
std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey);
// The command line that imports `fileName` from the install directory. The path is quoted:
// an install directory such as "C:\Program Files\Cadenzo" would otherwise split in two.
std::string ImportParameters(const std::string& installDir, const std::string& fileName);

// What became of an export.
struct BackupResult {
    bool written = false;      // the backup holds the export now
    bool editorEnded = false;  // the editor started and ended in time
    // The editor's exit code, for the record: it says nothing of the export (Wine's is 0 also
    // when the key could not be opened, and Windows documents none).
    std::uint32_t editorExitCode = 0;
    explicit operator bool() const { return written; }
};

// Exports the driver key into `fileName` in the install directory and waits for the registry
// editor. Written only when the editor ended in time and the file is a finished export of the
// key (a registry file that reads to its last line, with a section for the key and for each key
// below it, and the empty line that ends an export), whatever the exit code; a file still being
// written by a process the editor handed the work to is waited for. The export then takes the
// backup's name in one rename. On failure the backup is as it was: an older one is never lost, not
// even when the program ends during the wait.
BackupResult ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                             const std::string& fileName);

// Imports `fileName` from the install directory into the registry, waiting (a bounded time)
// for the registry editor, so that nothing the program does next, a restart included,
// overtakes the import. True only when the import is verified in: the keys the file holds read
// back with the file's values, type and bytes, and then the values the program writes in the
// driver key and its ddhal subkey that the file does not name are deleted, so that the keys are
// exactly as the backup holds them. False when the file is missing or is no backup of a driver
// key (the editor is not started), when the editor did not start or did not end in time, or
// when the registry does not come to hold the file's values within ImportSettleMs after it
// ended. Its exit code tells nothing: Wine's editor ends with 0 also for a file it could not
// read.
bool ImportBackup(platform::Platform& os, const std::string& fileName);
