#pragma once
// The standard Open and Save dialogs.

#include <optional>
#include <string>

namespace platform {

struct FileDialog {
    std::string title;
    std::string filterName;  // what the files of `extension` are called ("Cadenzo profiles")
    std::string extension;   // without the dot: the files listed, and added to a bare name
    std::string fileName;    // proposed in the file-name field
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // The path of the file chosen, nothing when the dialog was cancelled. A path with
    // characters beyond ASCII comes in UTF-8 with its mark (platform/Utf8Text.h), which the
    // file calls take as well. The current directory stays as it was.
    //
    // Open: an existing file.
    virtual std::optional<std::string> ChooseFileToOpen(const FileDialog& dialog) = 0;
    // Save: a file to write; the dialog asks before a file is replaced.
    virtual std::optional<std::string> ChooseFileToSave(const FileDialog& dialog) = 0;
};

}  // namespace platform
