#pragma once
// The Win32 backend: each form a top-level window, each of its controls one child window of
// it, and the message loop that serves them.

#include <memory>
#include <vector>

#include "ui/Application.h"

namespace ui {

class FontCache;
class FormWindow;

class Win32Ui : public Backend {
public:
    Win32Ui();
    ~Win32Ui() override;
    Win32Ui(const Win32Ui&) = delete;
    Win32Ui& operator=(const Win32Ui&) = delete;

    void Realize(Form& form) override;
    void Forget(Form& form) override;
    // Tab, Enter and Escape work in every form, as in a dialog box.
    void Run() override;
    void Quit() override;

private:
    void Bury();

    std::unique_ptr<FontCache> fonts_;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    // Windows forgotten from inside one of their own handlers, deleted once it returned.
    std::vector<std::unique_ptr<FormWindow>> forgotten_;
};

}  // namespace ui
