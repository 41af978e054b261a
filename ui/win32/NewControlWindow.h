#pragma once
// The window of a control's kind, not made yet (see ControlWindow::Realize); null for a form.

#include <memory>

#include "ui/win32/ControlWindow.h"

namespace ui {

std::unique_ptr<ControlWindow> NewControlWindow(Control& control, FormWindow& form, int id);

}  // namespace ui
