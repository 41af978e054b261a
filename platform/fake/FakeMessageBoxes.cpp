#include "platform/fake/FakeMessageBoxes.h"

#include <stdexcept>

namespace platform {

Answer FakeMessageBoxes::Show(const std::string& text, const std::string& caption, Buttons buttons,
                              Icon icon) {
    shown.push_back({text, caption, buttons, icon});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) throw std::logic_error("unanswered question: " + text);
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

}  // namespace platform
