#include "ui/win32/MenuBar.h"

#include "platform/win32/WideText.h"

namespace ui {
namespace {

// Clear of the controls' ids, which count up from 100.
constexpr int kFirstCommandId = 20000;

}  // namespace

void MenuBar::Build(HWND window, Form& form) {
    commands_.clear();
    HMENU menu = nullptr;
    if (form.HasMenu()) {
        menu = CreateMenu();
        for (auto& item : form.Menu().Items())
            Add(menu, *item);
    }
    HMENU old = GetMenu(window);
    SetMenu(window, menu);
    if (old) DestroyMenu(old);
}

// An entry captioned "-" is a separator line.
void MenuBar::Add(HMENU into, MenuItem& item) {
    if (item.Caption() == "-") {
        AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
        return;
    }
    if (!item.Items().empty()) {
        HMENU popup = CreatePopupMenu();
        for (auto& sub : item.Items())
            Add(popup, *sub);
        AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    platform::ToWide(item.Caption()).c_str());
        return;
    }
    commands_.push_back(&item);
    AppendMenuW(into, MF_STRING | (item.Checked() ? MF_CHECKED : MF_UNCHECKED),
                kFirstCommandId + commands_.size() - 1, platform::ToWide(item.Caption()).c_str());
}

MenuItem* MenuBar::Command(WPARAM wParam) const {
    size_t index = LOWORD(wParam) - static_cast<size_t>(kFirstCommandId);
    if (HIWORD(wParam) != 0 || LOWORD(wParam) < kFirstCommandId || index >= commands_.size()) {
        return nullptr;
    }
    return commands_[index];
}

}  // namespace ui
