// A registry file as the registry editor, a person or a damaged disk may have left it: read,
// and imported as a backup of the driver key on the in-memory Windows.

#include "fuzz/FuzzMachine.h"
#include "platform/fake/FakeRegedit.h"
#include "safety/Backups.h"
#include "safety/RegistryFile.h"

namespace {

bool Same(const RegistryFile& a, const RegistryFile& b) {
    if (a.version5 != b.version5 || a.sections.size() != b.sections.size()) return false;
    for (std::size_t i = 0; i < a.sections.size(); ++i) {
        const RegistryFileSection& x = a.sections[i];
        const RegistryFileSection& y = b.sections[i];
        if (x.key != y.key || x.deleted != y.deleted || x.values.size() != y.values.size())
            return false;
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            const RegistryFileValue& p = x.values[v];
            const RegistryFileValue& q = y.values[v];
            if (p.name != q.name || p.deleted != q.deleted || p.type != q.type || p.data != q.data)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::Text(data, size);
    const bool utf16 = bytes.compare(0, 2, "\xFF\xFE") == 0;
    std::optional<RegistryFile> file = ReadRegistryFile(bytes);
    if (file) {
        for (const RegistryFileSection& section : file->sections) {
            fuzz::Require(!section.key.empty());
            for (const RegistryFileValue& value : section.values)
                fuzz::Require(!value.deleted || (value.type == 0 && value.data.empty()));
        }
        // A remark and blank lines after the last line change nothing.
        const std::string more = "\r\n; remark\r\n\r\n";
        std::string longer = bytes;
        if (utf16) {
            for (char c : more)
                longer += std::string{c, '\0'};
        } else {
            longer += more;
        }
        const std::string lineEnd = utf16 ? std::string("\n\0", 2) : "\n";
        if (bytes.size() >= lineEnd.size() &&
            bytes.compare(bytes.size() - lineEnd.size(), lineEnd.size(), lineEnd) == 0) {
            std::optional<RegistryFile> again = ReadRegistryFile(longer);
            fuzz::Require(again && Same(*file, *again));
        }
    }

    // Imported as a backup: a file that does not read is never handed to the editor, and one
    // reported in holds what it says.
    platform::FakeWindows win;
    platform::FakeRegedit regedit{win};
    fuzz::SeedMachine(win);
    win.registry.SeedDword(fuzz::DriverKey, "DisableTiling", 1);
    win.files.Put(std::string(fuzz::InstallDir) + "\\" + StartBackupFile, bytes);
    platform::Platform os = win.Os();
    bool in = ImportBackup(os, StartBackupFile);
    if (!file) fuzz::Require(!in && win.shell.started.empty());
    if (in) fuzz::Require(regedit.imported.size() == 1);
    return 0;
}
