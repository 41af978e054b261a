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
    // Task-modal and brought to the front: one of our windows may stay on top and would
    // otherwise hide the box that blocks it.
    UINT style = (buttons == Buttons::YesNo ? MB_YESNO : MB_OK) | IconStyle(icon) | MB_TASKMODAL |
                 MB_SETFOREGROUND;
    int pressed =
        MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(caption).c_str(), style);
    if (buttons == Buttons::Ok) return Answer::Ok;
    return pressed == IDYES ? Answer::Yes : Answer::No;
}

}  // namespace platform
