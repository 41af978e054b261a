#pragma once
// A label: a static text on the form's background, as wide as its caption.

#include "ui/win32/ControlWindow.h"

namespace ui {

class LabelWindow final : public ControlWindow {
public:
    LabelWindow(Label& label, FormWindow& owner, int id);
    bool OnFormBackground() const override { return true; }
    COLORREF TextColor() const override;
    bool HandCursor() const override;
    void Notify(int code) override;

private:
    void Apply(Aspect aspect) override;
    DWORD Style() const override;
    Rect Placement(HFONT font) const override;
    void FontChanged() override { Move(); }
};

}  // namespace ui
