#pragma once
// The registry editor of the in-memory Windows: "regedit.exe /e FILE KEY" writes the key with
// its values and subkeys into FILE, "regedit.exe /s FILE" writes them back. Its command line
// is split the way the real one is: an unquoted path ends at the first blank.

#include <string>
#include <vector>

#include "platform/fake/FakeWindows.h"

namespace platform {

class FakeRegedit {
public:
    // Serves every start of "regedit.exe" through the shell of `win`; other programs start
    // and end at once.
    explicit FakeRegedit(FakeWindows& win);

    bool exportsFail = false;           // the editor runs but writes no file
    bool hangs = false;                 // the editor does not end in the time the program waits
    std::vector<std::string> exported;  // full paths written, in order
    std::vector<std::string> imported;  // full paths read, in order

    // Splits a command line into its arguments, honouring double quotes.
    static std::vector<std::string> Arguments(const std::string& parameters);

private:
    LaunchResult Run(const Launch& launch);
    bool Export(const std::string& path, const std::string& key);
    bool Import(const std::string& path);

    FakeWindows& win_;
};

}  // namespace platform
