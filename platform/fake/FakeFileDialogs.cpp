#include "platform/fake/FakeFileDialogs.h"

#include <stdexcept>

namespace platform {

std::optional<std::string> FakeFileDialogs::ChooseFileToOpen(const FileDialog& dialog) {
    return Answer(false, dialog);
}

std::optional<std::string> FakeFileDialogs::ChooseFileToSave(const FileDialog& dialog) {
    return Answer(true, dialog);
}

std::optional<std::string> FakeFileDialogs::Answer(bool save, const FileDialog& dialog) {
    shown.push_back({save, dialog});
    if (answers.empty()) throw std::logic_error("unanswered file dialog: " + dialog.title);
    std::optional<std::string> chosen = answers.front();
    answers.pop_front();
    return chosen;
}

}  // namespace platform
