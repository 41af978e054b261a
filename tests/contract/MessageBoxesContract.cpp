#include <gtest/gtest.h>

#include "tests/contract/ContractBackend.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

struct Case {
    Buttons buttons;
    Icon icon;
    Answer pressed;
};

class MessageBoxesContract : public ::testing::TestWithParam<Case> {};

TEST_P(MessageBoxesContract, PressedButtonIsTheAnswer) {
    const Case& c = GetParam();
    contract::Backend& backend = contract::TheBackend();
    const std::string caption = "Cadenzo contract " + std::to_string(static_cast<int>(c.pressed));
    const std::string text = "Restart Windows now?\nSettings take effect after the restart.";

    backend.PressOnNextBox(caption, c.pressed);
    Answer answer = backend.Os().boxes.Show(text, caption, c.buttons, c.icon);

    EXPECT_EQ(answer, c.pressed);
    EXPECT_EQ(backend.PressedBoxText(), text);
}

INSTANTIATE_TEST_SUITE_P(Buttons, MessageBoxesContract,
                         ::testing::Values(Case{Buttons::YesNo, Icon::None, Answer::Yes},
                                           Case{Buttons::YesNo, Icon::Warning, Answer::No},
                                           Case{Buttons::Ok, Icon::Error, Answer::Ok}));

}  // namespace
