#pragma once
// Records every file dialog shown and answers it with the next scripted choice: a path, or
// nothing for Cancel. A dialog nobody scripted is a test error.

#include <deque>
#include <vector>

#include "platform/FileDialogs.h"

namespace platform {

class FakeFileDialogs : public FileDialogs {
public:
    struct Shown {
        bool save;
        FileDialog dialog;
    };

    std::optional<std::string> ChooseFileToOpen(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFileToSave(const FileDialog& dialog) override;

    std::deque<std::optional<std::string>> answers;
    std::vector<Shown> shown;

private:
    std::optional<std::string> Answer(bool save, const FileDialog& dialog);
};

}  // namespace platform
