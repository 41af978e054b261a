#pragma once
// The menu bar of a form's window, made from the form's menu entries: each entry that runs a
// command gets a command id of its own.

#include <windows.h>

#include <vector>

#include "ui/Form.h"

namespace ui {

class MenuBar {
public:
    // Makes the bar anew from the form's entries and puts it on the window (no entries: no
    // bar). The window's client area is the form's to fit again afterwards.
    void Build(HWND window, Form& form);
    // The entry a WM_COMMAND from the menu names; null for none (Escape's IDCANCEL also comes
    // without a control).
    MenuItem* Command(WPARAM wParam) const;

private:
    void Add(HMENU into, MenuItem& item);

    std::vector<MenuItem*> commands_;  // the entries by command id
};

}  // namespace ui
