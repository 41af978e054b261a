#include "ui/win32/NewControlWindow.h"

#include "ui/win32/ButtonWindows.h"
#include "ui/win32/EditWindow.h"
#include "ui/win32/ImageWindow.h"
#include "ui/win32/LabelWindow.h"
#include "ui/win32/ListWindows.h"

namespace ui {

std::unique_ptr<ControlWindow> NewControlWindow(Control& control, FormWindow& form, int id) {
    switch (control.GetKind()) {
        case Kind::Label:
            return std::make_unique<LabelWindow>(static_cast<Label&>(control), form, id);
        case Kind::Button:
            return std::make_unique<ButtonWindow>(static_cast<Button&>(control), form, id);
        case Kind::SpeedButton:
            return std::make_unique<SpeedButtonWindow>(static_cast<SpeedButton&>(control), form,
                                                       id);
        case Kind::CheckBox:
            return std::make_unique<CheckBoxWindow>(static_cast<CheckBox&>(control), form, id);
        case Kind::ComboBox:
            return std::make_unique<ComboBoxWindow>(static_cast<ComboBox&>(control), form, id);
        case Kind::ListBox:
            return std::make_unique<ListBoxWindow>(static_cast<ListBox&>(control), form, id);
        case Kind::Edit:
            return std::make_unique<EditWindow>(static_cast<Edit&>(control), form, id);
        case Kind::GroupBox:
            return std::make_unique<GroupBoxWindow>(static_cast<GroupBox&>(control), form, id);
        case Kind::Image:
            return std::make_unique<ImageWindow>(static_cast<Image&>(control), form, id);
        case Kind::Form:
            break;
    }
    return nullptr;
}

}  // namespace ui
