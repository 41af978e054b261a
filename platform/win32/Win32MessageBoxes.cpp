#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace platform {
namespace {

UINT IconStyle(Icon icon) {
    switch (icon) {
        case Icon::Error:
            return MB_ICONERROR;
        case Icon::Warning:
            return MB_ICONWARNING;
        case Icon::Information:
            return MB_ICONINFORMATION;
        case Icon::None:
            break;
    }
    return 0;
}

}  // namespace

Answer Win32MessageBoxes::Show(const std::string& text, const std::string& caption, Buttons buttons,
                               Icon icon) {
    // Without an owner a task-modal box disables every top-level window of the program, not just
    // one; topmost and brought to the front, so that a window of ours that stays on top can
    // neither hide it nor be used meanwhile.
    UINT style = (buttons == Buttons::YesNo ? MB_YESNO : MB_OK) | IconStyle(icon) | MB_TASKMODAL |
                 MB_TOPMOST | MB_SETFOREGROUND;
    int pressed = MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(), style);
    if (buttons == Buttons::Ok) return Answer::Ok;
    return pressed == IDYES ? Answer::Yes : Answer::No;
}

}  // namespace platform
