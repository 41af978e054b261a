#include "ui/win32/EditWindow.h"

#include "platform/win32/WideText.h"

namespace ui {

using platform::ToWide;

EditWindow::EditWindow(Edit& edit, FormWindow& owner, int id)
    : ControlWindow(edit, owner, {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE}, id) {}

void EditWindow::Apply(Aspect aspect) {
    if (aspect == Aspect::Text) ShowText(Field().StoredText());
}

platform::WideString EditWindow::ShownText() const { return ToWide(Field().StoredText()); }

std::optional<std::string> EditWindow::TextInWindow() const {
    return ReadBack({}, Field().StoredText());
}

}  // namespace ui
