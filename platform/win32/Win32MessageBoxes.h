#pragma once
// The application's standard message box through user32.

#include "platform/MessageBoxes.h"

namespace platform {

class Win32MessageBoxes : public MessageBoxes {
public:
    Answer Show(const std::string& text, const std::string& caption, Buttons buttons,
                Icon icon) override;
};

}  // namespace platform
