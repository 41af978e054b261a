#pragma once
// The registry editor of the in-memory Windows: "regedit.exe /e FILE KEY" writes the key with
// its values and subkeys into FILE, "regedit.exe /s FILE" writes them back. Its command line
// is split the way the real one is: an unquoted path ends at the first blank. An export is
// written as Wine's is: UTF-16LE with its byte-order mark, "Windows Registry Editor Version
// 5.00", a section per key with its values ("name"="text", dword:, hex:, hex(N):, long data
// continued after a backslash) and an empty line at the end. An import reads that form back,
// deletions ("name"=- and [-key]) included. Like Wine's, the editor ends with exit code 0
// whether or not it did its job.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/FakeWindows.h"

namespace platform {

class FakeRegedit {
public:
    // Serves every start of "regedit.exe" through the shell of `win`; other programs start
    // and end at once.
    explicit FakeRegedit(FakeWindows& win);

    bool notInstalled = false;  // the shell cannot start the editor
    bool exportsFail = false;   // the editor runs but writes no file
    // The editor does not end in the time the program waits. An export has written its file
    // by then (as far as `writesOnly` lets it); an import has not begun.
    bool hangs = false;
    std::size_t writesOnly = std::string::npos;  // an export stops after this many bytes
    std::optional<std::string> writesInstead;    // an export writes these bytes, not the key
    bool ansi = false;  // exports "REGEDIT4" in ANSI, as Windows 9x and "regedit /a" do
    std::uint32_t exitCode = 0;
    // The editor ends at once and leaves the work to another process (as a 32-bit editor on
    // 64-bit Windows hands it to the 64-bit one). An export is written in parts while the
    // program waits: none of it at first, whole (as far as `writesOnly` lets it) after this
    // many pauses of the program; an import is done after this many pauses.
    unsigned handsOffFor = 0;
    // An import ends as one of a file the editor could not read: nothing written, exit code 0.
    bool importsNothing = false;
    // The program is ended (killed, or Windows shuts down) while it waits for the editor,
    // after the editor wrote its file: the wait throws ProcessEnded.
    bool programEndsWhileWaiting = false;

    std::vector<std::string> exported;  // full paths of the whole exports written, in order
    std::vector<std::string> imported;  // full paths read, in order

    // The text of an export file: UTF-16LE (after its byte-order mark) narrowed to ANSI.
    static std::string Text(const std::string& fileBytes);
    // The bytes of a whole export of the key (a path under HKEY_LOCAL_MACHINE) as it is now.
    std::string ExportText(const std::string& keyPath) const;

private:
    LaunchResult Run(const Launch& launch);
    void Export(const std::string& path, const std::string& key);
    void Import(const std::string& path);
    void WriteHandedOff();

    struct HandedOff {
        std::string path;
        std::string bytes;
        bool whole = false;
        unsigned pauses = 0;
    };
    std::optional<HandedOff> handedOff_;
    std::optional<std::string> importHandedOff_;  // the file another process will import
    unsigned importPauses_ = 0;

    FakeWindows& win_;
};

}  // namespace platform
