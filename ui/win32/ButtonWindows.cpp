#include "ui/win32/ButtonWindows.h"

#include <commctrl.h>

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"

namespace ui {
namespace {

using platform::ToWide;

WPARAM CheckOf(CheckState state) {
    switch (state) {
        case CheckState::Checked:
            return BST_CHECKED;
        case CheckState::Grayed:
            return BST_INDETERMINATE;
        case CheckState::Unchecked:
            break;
    }
    return BST_UNCHECKED;
}

}  // namespace

ButtonWindow::ButtonWindow(Button& button, FormWindow& owner, int id)
    : ControlWindow(button, owner, {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0}, id) {}

void ButtonWindow::Notify(int code) {
    if (code == BN_CLICKED) static_cast<Button*>(GetControl())->Click();
}

SpeedButtonWindow::SpeedButtonWindow(SpeedButton& button, FormWindow& owner, int id)
    : ControlWindow(button, owner, {L"BUTTON", BS_OWNERDRAW, 0}, id) {}

void SpeedButtonWindow::Fill() {
    SetWindowSubclass(Handle(), SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void SpeedButtonWindow::Notify(int code) {
    if (code == BN_CLICKED) static_cast<SpeedButton*>(GetControl())->Click();
}

void SpeedButtonWindow::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, Owner().Background());
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        OffsetRect(&r, 1, 1);
    } else if (hot_) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    HGDIOBJ old = SelectObject(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, ToWide(GetControl()->Caption()).c_str(), -1, &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    SelectObject(dc, old);
}

LRESULT CALLBACK SpeedButtonWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<SpeedButtonWindow*>(data);
    switch (message) {
        case WM_SETFOCUS: {
            // A click hands the focus back to where it was.
            HWND previous = reinterpret_cast<HWND>(wParam);
            HWND form = GetParent(hwnd);
            SetFocus(previous && IsChild(form, previous) ? previous : form);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!self->hot_) {
                self->hot_ = true;
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        case WM_MOUSELEAVE:
            self->hot_ = false;
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, SubclassProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Not BS_AUTO3STATE: the control object decides the next state of a click.
CheckBoxWindow::CheckBoxWindow(CheckBox& box, FormWindow& owner, int id)
    : ControlWindow(box, owner, {L"BUTTON", BS_3STATE | WS_TABSTOP, 0}, id) {}

void CheckBoxWindow::Apply(Aspect aspect) {
    if (aspect == Aspect::Check) {
        auto* box = static_cast<CheckBox*>(GetControl());
        SendMessageW(Handle(), BM_SETCHECK, CheckOf(box->State()), 0);
    } else {
        ControlWindow::Apply(aspect);
    }
}

void CheckBoxWindow::Notify(int code) {
    if (code == BN_CLICKED) static_cast<CheckBox*>(GetControl())->UserClick();
}

GroupBoxWindow::GroupBoxWindow(GroupBox& group, FormWindow& owner, int id)
    : ControlWindow(group, owner, {L"BUTTON", BS_GROUPBOX, 0}, id) {}

}  // namespace ui
