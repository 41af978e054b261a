#pragma once
// Records every box shown. Notices are answered OK; questions take the next scripted answer,
// and a question nobody scripted is a test error.

#include <deque>
#include <vector>

#include "platform/MessageBoxes.h"

namespace platform {

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
        Buttons buttons;
        Icon icon;
    };

    Answer Show(const std::string& text, const std::string& caption, Buttons buttons,
                Icon icon) override;

    std::deque<Answer> answers;
    std::vector<Shown> shown;
};

}  // namespace platform
