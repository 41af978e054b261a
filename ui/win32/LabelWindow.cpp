#include "ui/win32/LabelWindow.h"

#include "platform/win32/WideText.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/FormWindow.h"

namespace ui {
namespace {

using platform::ToWide;

DWORD AlignmentStyle(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return SS_RIGHT;
        case Alignment::Center:
            return SS_CENTER;
        case Alignment::LeftWrapped:
            return SS_LEFT;
        case Alignment::Left:
            break;
    }
    // One line, as the other alignments keep to since a label is as wide as its caption.
    return SS_LEFTNOWORDWRAP;
}

}  // namespace

LabelWindow::LabelWindow(Label& label, FormWindow& owner, int id)
    : ControlWindow(label, owner, {L"STATIC", SS_NOTIFY, 0}, id) {}

// SS_NOTIFY: a plain static is transparent to the mouse and would show no hint.
DWORD LabelWindow::Style() const {
    return SS_NOTIFY | AlignmentStyle(static_cast<Label*>(GetControl())->GetAlignment());
}

COLORREF LabelWindow::TextColor() const {
    Rgb color = static_cast<Label*>(GetControl())->TextColor();
    return color == DefaultTextColor ? ControlWindow::TextColor() : color;
}

bool LabelWindow::HandCursor() const { return static_cast<Label*>(GetControl())->IsLink(); }

void LabelWindow::Notify(int code) {
    if (code == STN_CLICKED) static_cast<Label*>(GetControl())->Click();
}

void LabelWindow::Apply(Aspect aspect) {
    if (aspect != Aspect::Caption) return;
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
    style |= AlignmentStyle(static_cast<Label*>(GetControl())->GetAlignment());
    SetWindowLongPtrW(Handle(), GWL_STYLE, style);
    ShowCaption();
    Move();
}

// A label shows its whole caption on one line, as an auto-sized label does: one wider than its
// place grows away from the side it is aligned to.
Rect LabelWindow::Placement(HFONT font) const {
    const auto& label = *static_cast<Label*>(GetControl());
    Rect r = label.PlaceInForm();
    int grow = Owner().Fonts().TextWidth(font, ToWide(label.Caption())) - r.width;
    if (grow > 0) {
        if (label.GetAlignment() == Alignment::Right) r.left -= grow;
        if (label.GetAlignment() == Alignment::Center) r.left -= grow / 2;
        r.width += grow;
    }
    return r;
}

}  // namespace ui
