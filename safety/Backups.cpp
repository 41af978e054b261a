#include "safety/Backups.h"

#include "services/Format.h"
#include "services/Settings.h"

namespace {

// What Windows NT's and Wine's editor write first (in UTF-16LE), and Windows 9x's (in ANSI).
constexpr const char* kExportHeaders[] = {"Windows Registry Editor Version 5.00", "REGEDIT4"};
constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";

// The file's first line, when it is one of ASCII characters ended by a line break; UTF-16LE
// after its byte-order mark is read unit by unit.
std::string FirstLine(const std::string& bytes) {
    bool wide = bytes.compare(0, 2, kUtf16ByteOrderMark) == 0;
    std::size_t step = wide ? 2 : 1;
    std::string line;
    for (std::size_t i = wide ? 2 : 0; i + step <= bytes.size(); i += step) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (wide && bytes[i + 1] != '\0') break;
        if (c == '\r' || c == '\n') return line;
        if (c == 0 || c >= 0x80 || line.size() > 64) break;  // no header looks like that
        line += static_cast<char>(c);
    }
    return std::string();
}

bool StartsAsExport(const std::string& bytes) {
    std::string line = FirstLine(bytes);
    for (const char* header : kExportHeaders) {
        if (line == header) return true;
    }
    return false;
}

}  // namespace

std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey) {
    return "/e \"" + InstallPath(installDir, fileName) + "\" HKEY_LOCAL_MACHINE\\" + driverKey;
}

std::string ImportParameters(const std::string& installDir, const std::string& fileName) {
    return "/s \"" + InstallPath(installDir, fileName) + "\"";
}

bool ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                     const std::string& fileName) {
    if (driverKey.empty()) return false;  // there is no driver key to protect
    std::string installDir = GetInstallDir(os.registry);
    std::string newFileName = fileName + NewBackupSuffix;
    std::string newPath = InstallPath(installDir, newFileName);

    // The editor exports beside the backup, never over it. It writes no file at all for a key
    // it cannot open, so a leftover of an export cut short must go first, or it would pass for
    // this one's.
    if (os.files.Exists(newPath) && !os.files.Remove(newPath)) return false;
    platform::LaunchResult run = os.shell.ExecuteAndWait(
        {RegistryEditor, ExportParameters(installDir, newFileName, driverKey), ".",
         platform::ShowNormal},
        BackupTimeoutMs);
    // An editor still running after the time allowed may be writing yet.
    bool exported = run.started && run.finished && run.exitCode == 0 &&
                    StartsAsExport(os.files.ReadAll(newPath).value_or(std::string()));
    if (exported && os.files.Replace(newPath, InstallPath(installDir, fileName))) return true;
    os.files.Remove(newPath);
    return false;
}

bool ImportBackup(platform::Platform& os, const std::string& fileName) {
    std::string installDir = GetInstallDir(os.registry);
    if (!os.files.Exists(InstallPath(installDir, fileName))) return false;
    platform::LaunchResult run = os.shell.ExecuteAndWait(
        {RegistryEditor, ImportParameters(installDir, fileName), ".", platform::ShowNormal},
        BackupTimeoutMs);
    return run.started && run.finished;
}

void ShowRestoreFailed(platform::Platform& os, const std::string& fileName) {
    platform::ShowNotice(
        os.boxes, FormatText(RestoreFailedText, InstallPath(GetInstallDir(os.registry), fileName)),
        RestoreFailedCaption);
}
