#include "safety/Backups.h"

#include <cstring>
#include <optional>

#include "platform/CaseFold.h"
#include "services/Format.h"
#include "services/Settings.h"

namespace {

// What Windows NT's and Wine's editor write first (in UTF-16LE), and Windows 9x's (in ANSI).
constexpr const char* kExportHeaders[] = {"Windows Registry Editor Version 5.00", "REGEDIT4"};
constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";
constexpr char kLineEnd[] = "\r\n";
// The editor ends a finished export with an empty line.
constexpr char kExportEnd[] = "\r\n\r\n";
// How the editor names the root of the driver key, on its command line and in the export.
constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE\\";

// The export as one byte per character: UTF-16LE after its byte-order mark is read unit by
// unit, a unit beyond ASCII as '?'; anything else as it is.
std::string ExportText(const std::string& bytes) {
    if (bytes.compare(0, 2, kUtf16ByteOrderMark) != 0) return bytes;
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned char low = static_cast<unsigned char>(bytes[i]);
        text += bytes[i + 1] == '\0' && low < 0x80 ? static_cast<char>(low) : '?';
    }
    return text;
}

// Whether the file is a finished export of `driverKey`: it starts with an editor's header
// line, holds the key's own section line and ends as the editor ends an export. The editor's
// exit code says nothing of this: Wine's is 0 also for a key it could not open, and a 32-bit
// editor on 64-bit Windows may hand the export to the 64-bit one and end before the file is
// written.
bool IsWholeExport(const std::string& bytes, const std::string& driverKey) {
    std::string text = ExportText(bytes);
    bool header = false;
    for (const char* name : kExportHeaders)
        header =
            header || text.compare(0, std::strlen(name) + 2, name + std::string(kLineEnd)) == 0;
    std::string section = kLineEnd + ("[" + (kMachineRoot + driverKey) + "]") + kLineEnd;
    std::size_t endSize = sizeof kExportEnd - 1;
    return header && text.size() >= endSize &&
           text.compare(text.size() - endSize, endSize, kExportEnd) == 0 &&
           platform::LowerCase(text).find(platform::LowerCase(section)) != std::string::npos;
}

// Waits, after the editor ended, until the file at `path` is a finished export of
// `driverKey`. One that is not yet may be written by another process still: it counts once it
// is finished and the same at two looks in a row. A file that has not appeared after a short
// while will not: the editor writes none for a key it cannot open.
bool AwaitWholeExport(platform::Platform& os, const std::string& path,
                      const std::string& driverKey) {
    std::optional<std::string> last;
    for (std::uint32_t waited = 0;; waited += ExportLookMs) {
        std::optional<std::string> bytes = os.files.ReadAll(path);
        if (bytes && IsWholeExport(*bytes, driverKey) && (waited == 0 || bytes == last))
            return true;
        if ((!bytes && waited >= ExportAppearMs) || waited >= BackupTimeoutMs) return false;
        last = bytes;
        os.shell.Pause(ExportLookMs);
    }
}

}  // namespace

std::string ExportParameters(const std::string& installDir, const std::string& fileName,
                             const std::string& driverKey) {
    return "/e \"" + InstallPath(installDir, fileName) + "\" " + kMachineRoot + driverKey;
}

std::string ImportParameters(const std::string& installDir, const std::string& fileName) {
    return "/s \"" + InstallPath(installDir, fileName) + "\"";
}

BackupResult ExportDriverKey(platform::Platform& os, const std::string& driverKey,
                             const std::string& fileName) {
    BackupResult result;
    if (driverKey.empty()) return result;  // there is no driver key to protect
    std::string installDir = GetInstallDir(os.registry);
    std::string newFileName = fileName + NewBackupSuffix;
    std::string newPath = InstallPath(installDir, newFileName);

    // The editor exports beside the backup, never over it. It writes no file at all for a key
    // it cannot open, so a leftover of an export cut short must go first, or it would pass for
    // this one's.
    if (os.files.Exists(newPath) && !os.files.Remove(newPath)) return result;
    platform::LaunchResult run = os.shell.ExecuteAndWait(
        {RegistryEditor, ExportParameters(installDir, newFileName, driverKey), ".",
         platform::ShowNormal},
        BackupTimeoutMs);
    // An editor still running after the time allowed may be writing yet.
    result.editorEnded = run.started && run.finished;
    result.editorExitCode = run.exitCode;
    result.written = result.editorEnded && AwaitWholeExport(os, newPath, driverKey) &&
                     os.files.Replace(newPath, InstallPath(installDir, fileName));
    if (!result.written) os.files.Remove(newPath);
    return result;
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
