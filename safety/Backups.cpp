#include "safety/Backups.h"

#include "services/Settings.h"

namespace {

std::string BackupPath(const std::string& installDir, const std::string& fileName) {
    return installDir + "\\" + fileName;
}

}  // namespace

std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey) {
    return "/e \"" + BackupPath(installDir, fileName) + "\" HKEY_LOCAL_MACHINE\\" + driverKey;
}

std::string ImportParameters(const std::string& installDir, const std::string& fileName) {
    return "/s \"" + BackupPath(installDir, fileName) + "\"";
}

bool ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                     const std::string& fileName) {
    if (driverKey.empty()) return false;  // there is no driver key to protect
    std::string installDir = GetInstallDir(os.registry);
    std::string path = BackupPath(installDir, fileName);

    // The old file goes first, so that afterwards its presence proves the new export; its
    // bytes are kept to put it back should the export fail.
    std::optional<std::string> previous = os.files.ReadAll(path);
    if (previous && !os.files.Remove(path)) return false;

    platform::LaunchResult run =
        os.shell.ExecuteAndWait({RegistryEditor, ExportParameters(installDir, fileName, driverKey),
                                 ".", platform::ShowNormal},
                                BackupTimeoutMs);
    bool produced = run.started && run.finished && os.files.Exists(path);
    if (!produced && previous && !os.files.Exists(path)) os.files.WriteAll(path, *previous);
    return produced;
}

void ImportBackup(platform::Platform& os, const std::string& fileName) {
    std::string installDir = GetInstallDir(os.registry);
    os.shell.ExecuteAndWait(
        {RegistryEditor, ImportParameters(installDir, fileName), ".", platform::ShowNormal},
        BackupTimeoutMs);
}
