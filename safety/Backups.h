#pragma once
// The registry backups: the driver key exported by the system's registry editor into a file
// in the install directory, and imported from it again to undo.

#include <string>

#include "platform/Platform.h"

constexpr char StartBackupFile[] = "backup.dat";           // the key as this run found it
constexpr char LastKnownGoodFile[] = "lastknowngood.dat";  // as it was before the last OK
constexpr char FirstRunFile[] = "firstrun.dat";  // before the program first lifted restrictions

constexpr char RegistryEditor[] = "regedit.exe";
// How long the program waits for the registry editor before it gives up on a backup.
constexpr unsigned BackupTimeoutMs = 30000;

constexpr char BackupFailedText[] =
    "The registry backup \"%s\" could not be written, so the driver's settings were not "
    "changed.";
constexpr char StartBackupFailedText[] =
    "The registry backup \"%s\" could not be written. Cancel will not restore the driver's "
    "settings of this start.";
constexpr char BackupFailedCaption[] = "Error";

// The registry editor's command line that exports HKEY_LOCAL_MACHINE\`driverKey` into
// `fileName` in the install directory.
std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey);
// The command line that imports `fileName` from the install directory. The path is quoted:
// an install directory such as "C:\Program Files\Cadenzo" would otherwise split in two.
std::string ImportParameters(const std::string& installDir, const std::string& fileName);

// Exports the driver key and waits for the registry editor. True only when it finished in
// time and the file is there. A backup of the same name from before is kept when the export
// fails, so a failed export never costs the user an older backup.
bool ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                     const std::string& fileName);

// Imports the file into the registry, waiting (a bounded time) for the registry editor, so
// that nothing the program does next, a restart included, overtakes the import.
void ImportBackup(platform::Platform& os, const std::string& fileName);
