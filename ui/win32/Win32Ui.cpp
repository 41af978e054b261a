#include "ui/win32/Win32Ui.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/FontCache.h"
#include "ui/win32/FormWindow.h"

namespace ui {

Win32Ui::Win32Ui() : fonts_(std::make_unique<FontCache>()) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
}

// The windows go before the fonts they use.
Win32Ui::~Win32Ui() {
    windows_.clear();
    forgotten_.clear();
}

void Win32Ui::Realize(Form& form) {
    windows_.push_back(std::make_unique<FormWindow>(form, *fonts_));
}

void Win32Ui::Forget(Form& form) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&form](const auto& window) { return window->GetForm() == &form; });
    if (it == windows_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(*it);
    windows_.erase(it);
    window->Detach();
    if (window->Busy()) forgotten_.push_back(std::move(window));
}

void Win32Ui::Bury() {
    forgotten_.erase(std::remove_if(forgotten_.begin(), forgotten_.end(),
                                    [](const auto& window) { return !window->Busy(); }),
                     forgotten_.end());
}

void Win32Ui::Run() {
    MSG msg;
    // The wide loop: typed characters reach the Unicode windows as typed, not through the ANSI
    // code page.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Bury();
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        bool ours = root && std::any_of(windows_.begin(), windows_.end(),
                                        [root](const auto& w) { return w->Handle() == root; });
        if (ours && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Bury();
}

void Win32Ui::Quit() { PostQuitMessage(0); }

}  // namespace ui
