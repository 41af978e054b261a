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

}  // namespace platform
