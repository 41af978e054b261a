#include "ui/win32/EditWindow.h"

#include "platform/win32/WideText.h"

namespace ui {

using platform::ToWide;

EditWindow::EditWindow(Edit& edit, FormWindow& owner, int id)
    : ControlWindow(edit, owner, {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE}, id) {}

void EditWindow::Apply(Aspect aspect) {
    if (aspect != Aspect::Text) return;
    SetWindowTextW(Handle(), ShownText().c_str());
    ApplyFont();
}

platform::WideString EditWindow::ShownText() const {
    return ToWide(static_cast<Edit*>(GetControl())->StoredText());
}

std::string EditWindow::ReadText() {
    const std::string& stored = static_cast<Edit*>(GetControl())->StoredText();
    return Handle() ? ReadBack({}, stored) : stored;
}

}  // namespace ui
