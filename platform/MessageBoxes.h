#pragma once
// The application's standard message box.

#include <string>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Error, Warning, Information };
enum class Answer { Ok, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    virtual Answer Show(const std::string& text, const std::string& caption, Buttons buttons,
                        Icon icon) = 0;
};

// The program's messages have no icon: a notice has an OK button only, a question Yes and No.
inline void ShowNotice(MessageBoxes& boxes, const std::string& text, const std::string& caption) {
    boxes.Show(text, caption, Buttons::Ok, Icon::None);
}

// True when the user answered Yes.
inline bool AskYesNo(MessageBoxes& boxes, const std::string& text, const std::string& caption) {
    return boxes.Show(text, caption, Buttons::YesNo, Icon::None) == Answer::Yes;
}

}  // namespace platform
