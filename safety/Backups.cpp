#include "safety/Backups.h"

#include <map>
#include <optional>
#include <vector>

#include "modes/DriverValues.h"
#include "options/DriverOptionValues.h"
#include "platform/CaseFold.h"
#include "safety/RegistryFile.h"
#include "services/Format.h"
#include "services/Settings.h"

namespace {

// The editor ends a finished export with an empty line: in ANSI, and in UTF-16LE after its
// byte-order mark.
constexpr char kExportEnd[] = "\r\n\r\n";
constexpr char kUtf16ExportEnd[] = "\r\0\n\0\r\0\n\0";
// How the editor names the root of the driver key, on its command line and in the export.
constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE\\";
// The driver key's subkey that holds the anisotropy override, in lower case.
constexpr char kDdhalSubkey[] = "\\ddhal";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Every key below `key`, at all levels, by path. Names beyond ASCII are left out: the ANSI
// functions give them in the system's code page, the export in Unicode, and the two cannot be
// matched here.
std::vector<std::string> SubkeysOf(platform::Registry& registry, const std::string& key) {
    std::vector<std::string> paths{key};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        platform::RegKey handle = 0;
        if (registry.OpenKey(paths[i], platform::KeyRead, false, &handle) !=
            platform::RegStatus::Ok)
            continue;
        std::string name;
        for (std::uint32_t n = 0; registry.EnumSubkey(handle, n, &name) == platform::RegStatus::Ok;
             ++n)
            if (IsAscii(name)) paths.push_back(paths[i] + "\\" + name);
        registry.CloseKey(handle);
    }
    paths.erase(paths.begin());
    return paths;
}

// Whether the file is a finished export of `driverKey`: a registry file that reads to its last
// line, ends as the editor ends an export and holds a section for the key and for every key
// below it (one cut between two sections also ends with an empty line). The editor's exit
// code says nothing of this: Wine's is 0 also for a key it could not open, and a 32-bit editor
// on 64-bit Windows may hand the export to the 64-bit one and end before the file is written.
enum class ExportState {
    Unfinished,   // not an export the editor has ended yet
    Whole,        // every key below the driver key has its section
    LacksSubkey,  // ended, but a key below the driver key has no section
};

ExportState ExportStateOf(platform::Registry& registry, const std::string& bytes,
                          const std::string& driverKey) {
    bool utf16 = bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (!EndsWith(bytes, utf16 ? std::string(kUtf16ExportEnd, 8) : kExportEnd))
        return ExportState::Unfinished;
    std::optional<RegistryFile> file = ReadRegistryFile(bytes);
    if (!file) return ExportState::Unfinished;
    std::vector<std::string> keys = SubkeysOf(registry, driverKey);
    keys.push_back(driverKey);
    for (const std::string& key : keys) {
        bool found = false;
        for (const RegistryFileSection& section : file->sections)
            found = found || (!section.deleted &&
                              platform::SameIgnoringCase(section.key, kMachineRoot + key));
        if (!found) return ExportState::LacksSubkey;
    }
    return ExportState::Whole;
}

// Waits, after the editor ended, until the file at `path` is a finished export of
// `driverKey`. One that is not yet may be written by another process still: it counts once it
// is finished and the same at two looks in a row. A file that has not appeared after a short
// while will not: the editor writes none for a key it cannot open. One that ends as an export
// does but lacks a key below the driver key, and stays so a while, never will: the editor
// leaves out a key it cannot read.
bool AwaitWholeExport(platform::Platform& os, const std::string& path,
                      const std::string& driverKey) {
    std::optional<std::string> last;
    std::uint32_t sameFor = 0;
    for (std::uint32_t waited = 0;; waited += ExportLookMs) {
        std::optional<std::string> bytes = os.files.ReadAll(path);
        sameFor = bytes && bytes == last ? sameFor + ExportLookMs : 0;
        ExportState state =
            bytes ? ExportStateOf(os.registry, *bytes, driverKey) : ExportState::Unfinished;
        if (state == ExportState::Whole && (waited == 0 || sameFor > 0)) return true;
        if (state == ExportState::LacksSubkey && sameFor >= ExportAppearMs) return false;
        if ((!bytes && waited >= ExportAppearMs) || waited >= BackupTimeoutMs) return false;
        last = bytes;
        os.shell.Pause(ExportLookMs);
    }
}

// What the registry holds once a backup is in: each key of the file by its lower-case path
// below HKEY_LOCAL_MACHINE, in the state the file leaves it, the last word of the file for each.
struct ImportedKey {
    std::string path;
    bool deleted = false;
    std::map<std::string, RegistryFileValue> values;  // by lower-case name
};
struct ImportedKeys {
    bool version5 = false;
    std::string driverKey;  // the lower-case path of the file's first key, the one exported
    std::map<std::string, ImportedKey> keys;
};

bool IsAtOrBelow(const std::string& lowerPath, const std::string& lowerKey) {
    return lowerPath == lowerKey || lowerPath.rfind(lowerKey + "\\", 0) == 0;
}

// The keys a backup leaves in the registry, or nothing when the file is no backup of a driver
// key: not readable to its last line, or with a key outside the first one it holds (an export
// holds that key and the keys below it, and nothing else; what would write elsewhere is not
// an undo of the program's changes).
std::optional<ImportedKeys> KeysOfBackup(const std::string& bytes) {
    std::optional<RegistryFile> file = ReadRegistryFile(bytes);
    if (!file || file->sections.empty() ||
        !platform::StartsIgnoringCase(file->sections[0].key, kMachineRoot))
        return std::nullopt;
    ImportedKeys result;
    result.version5 = file->version5;
    result.driverKey = platform::LowerCase(file->sections[0].key.substr(sizeof kMachineRoot - 1));
    if (result.driverKey.empty()) return std::nullopt;
    for (const RegistryFileSection& section : file->sections) {
        if (!platform::StartsIgnoringCase(section.key, kMachineRoot)) return std::nullopt;
        std::string path = section.key.substr(sizeof kMachineRoot - 1);
        std::string lower = platform::LowerCase(path);
        if (!IsAtOrBelow(lower, result.driverKey)) return std::nullopt;
        if (section.deleted) {
            // The key goes with everything below it.
            for (auto k = result.keys.begin(); k != result.keys.end();)
                k = IsAtOrBelow(k->first, lower) ? result.keys.erase(k) : std::next(k);
            result.keys[lower] = ImportedKey{path, true, {}};
            continue;
        }
        // Creating a key creates the keys above it that were deleted before.
        for (auto& [other, key] : result.keys)
            if (key.deleted && IsAtOrBelow(lower, other)) key = ImportedKey{key.path, false, {}};
        ImportedKey& key =
            result.keys.try_emplace(lower, ImportedKey{path, false, {}}).first->second;
        for (const RegistryFileValue& value : section.values)
            key.values[platform::LowerCase(value.name)] = value;
    }
    return result;
}

// The bytes the program reads back through the registry's ANSI functions for a value the file
// holds, or nothing where the system's code page decides them: text beyond ASCII. Strings of a
// version 5 file are stored in UTF-16LE and come back one byte a character.
std::optional<std::vector<std::uint8_t>> BytesAsRead(const RegistryFileValue& value,
                                                     bool version5) {
    bool text = value.type == platform::RegSz || value.type == platform::RegExpandSz ||
                value.type == platform::RegMultiSz;
    if (!text) return value.data;
    std::vector<std::uint8_t> bytes;
    if (!version5) {
        bytes = value.data;
    } else {
        if (value.data.size() % 2 != 0) return std::nullopt;
        for (std::size_t i = 0; i < value.data.size(); i += 2) {
            if (value.data[i + 1] != 0) return std::nullopt;
            bytes.push_back(value.data[i]);
        }
    }
    for (std::uint8_t b : bytes)
        if (b >= 0x80) return std::nullopt;
    return bytes;
}

// Whether the value in the open key is as the file holds it: absent for a deletion, else of
// the file's type and, where they can be told, its bytes.
bool ValueHolds(platform::Registry& registry, platform::RegKey handle,
                const RegistryFileValue& value, bool version5) {
    platform::RegValue read;
    std::optional<std::vector<std::uint8_t>> bytes = BytesAsRead(value, version5);
    std::uint32_t capacity = bytes ? static_cast<std::uint32_t>(bytes->size()) : 0;
    platform::RegStatus status = registry.QueryValue(handle, value.name, capacity, &read);
    if (value.deleted) return status == platform::RegStatus::NotFound;
    if (status != platform::RegStatus::Ok && status != platform::RegStatus::MoreData) return false;
    if (read.type != value.type) return false;
    return !bytes || (status == platform::RegStatus::Ok && read.data == *bytes);
}

// Whether every key of the backup is as the file leaves it. A name beyond ASCII cannot be
// looked up through the ANSI functions and is passed over.
bool Holds(platform::Registry& registry, const ImportedKeys& backup) {
    for (const auto& [lower, key] : backup.keys) {
        if (!IsAscii(key.path)) continue;
        platform::RegKey handle = 0;
        platform::RegStatus opened = registry.OpenKey(key.path, platform::KeyRead, false, &handle);
        if (key.deleted) {
            if (opened == platform::RegStatus::Ok) registry.CloseKey(handle);
            if (opened != platform::RegStatus::NotFound) return false;
            continue;
        }
        if (opened != platform::RegStatus::Ok) return false;
        bool holds = true;
        for (const auto& [name, value] : key.values)
            holds = holds &&
                    (!IsAscii(value.name) || ValueHolds(registry, handle, value, backup.version5));
        registry.CloseKey(handle);
        if (!holds) return false;
    }
    return true;
}

// The values the program writes, in the driver key and in its ddhal subkey.
std::vector<std::string> ProgramValuesOfDriverKey() {
    std::vector<std::string> names{RestrictedModesValue, MinResValue, AddNativeModesRuleValue};
    names.insert(names.end(), FurtherRestrictedModesValues.begin(),
                 FurtherRestrictedModesValues.end());
    names.insert(names.end(), NonStandardModesValues.begin(), NonStandardModesValues.end());
    for (const MaxRatePair& pair : MaxRatePairs)
        names.insert(names.end(), {pair.info, pair.maxModeInfo});
    names.insert(names.end(), DriverSwitchValues.begin(), DriverSwitchValues.end());
    return names;
}

// An import writes what the file names and leaves every other value as it is: a value the
// program added since the backup (a rule, a switch, the anisotropy override, none of them
// there before) would stay. Each value the program writes that the backup does not name goes,
// so that the keys are as the backup holds them. False when one of them could not be deleted.
bool DeleteValuesNotInBackup(platform::Registry& registry, const ImportedKeys& backup) {
    auto driverKey = backup.keys.find(backup.driverKey);
    if (driverKey == backup.keys.end() || driverKey->second.deleted) return true;
    const std::pair<std::string, std::vector<std::string>> written[] = {
        {backup.driverKey, ProgramValuesOfDriverKey()},
        {backup.driverKey + kDdhalSubkey, {AnisoDegreeValue}}};
    for (const auto& [path, names] : written) {
        // A key the backup does not hold had none of them (an export holds every key below the
        // one exported); one it deletes is gone already.
        auto key = backup.keys.find(path);
        if (key != backup.keys.end() && key->second.deleted) continue;
        platform::RegKey handle = 0;
        platform::RegStatus opened = registry.OpenKey(path, platform::KeySetValue, false, &handle);
        if (opened == platform::RegStatus::NotFound) continue;
        if (opened != platform::RegStatus::Ok) return false;
        bool deleted = true;
        for (const std::string& name : names) {
            if (key != backup.keys.end() && key->second.values.count(platform::LowerCase(name)))
                continue;
            platform::RegStatus status = registry.DeleteValue(handle, name);
            deleted = deleted && (status == platform::RegStatus::Ok ||
                                  status == platform::RegStatus::NotFound);
        }
        registry.CloseKey(handle);
        if (!deleted) return false;
    }
    return true;
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
    // The export is written beside the backup and takes its name only once it is whole.
    std::string newFileName = fileName + platform::NewFileSuffix;
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
    std::string path = InstallPath(installDir, fileName);
    if (!os.files.Exists(path)) return false;
    std::optional<std::string> bytes = os.files.ReadAll(path);
    std::optional<ImportedKeys> keys = bytes ? KeysOfBackup(*bytes) : std::nullopt;
    if (!keys) return false;  // no backup of a driver key: the editor is not started
    platform::LaunchResult run = os.shell.ExecuteAndWait(
        {RegistryEditor, ImportParameters(installDir, fileName), ".", platform::ShowNormal},
        BackupTimeoutMs);
    if (!run.started || !run.finished) return false;
    // The editor's end says nothing: a file it could not read ends it with 0 too, and a 32-bit
    // editor on 64-bit Windows may hand the import to the 64-bit one and end before it is done.
    for (std::uint32_t waited = 0; !Holds(os.registry, *keys); waited += ExportLookMs) {
        if (waited >= ImportSettleMs) return false;
        os.shell.Pause(ExportLookMs);
    }
    return DeleteValuesNotInBackup(os.registry, *keys);
}

void ShowRestoreFailed(platform::Platform& os, const std::string& fileName) {
    platform::ShowNotice(
        os.boxes, FormatText(RestoreFailedText, InstallPath(GetInstallDir(os.registry), fileName)),
        RestoreFailedCaption);
}
