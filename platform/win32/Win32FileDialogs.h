#pragma once
// The standard Open and Save dialogs through comdlg32.

#include "platform/FileDialogs.h"

namespace platform {

class Win32FileDialogs : public FileDialogs {
public:
    std::optional<std::string> ChooseFileToOpen(const FileDialog& dialog) override;
    std::optional<std::string> ChooseFileToSave(const FileDialog& dialog) override;
};

}  // namespace platform
