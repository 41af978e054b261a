#pragma once
// A one-line edit field.

#include "ui/win32/ControlWindow.h"

namespace ui {

class EditWindow final : public ControlWindow {
public:
    EditWindow(Edit& edit, FormWindow& owner, int id);

private:
    const Edit& Field() const { return *static_cast<Edit*>(GetControl()); }
    std::optional<std::string> TextInWindow() const override;
    void Apply(Aspect aspect) override;
    platform::WideString ShownText() const override;
    platform::WideString InitialText() const override { return ShownText(); }
};

}  // namespace ui
