#include "ui/win32/ControlWindow.h"

#include <commctrl.h>

#include "ui/win32/FontCache.h"
#include "ui/win32/FormWindow.h"

namespace ui {
namespace {

// A drop-down list shows this many items before it scrolls.
constexpr int kDropDownRows = 8;

struct WindowStyle {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

DWORD AlignmentStyle(Alignment alignment) {
    switch (alignment) {
        case Alignment::Right:
            return SS_RIGHT;
        case Alignment::Center:
            return SS_CENTER;
        case Alignment::Left:
            break;
    }
    // One line, as the other alignments keep to since a label is as wide as its caption.
    return SS_LEFTNOWORDWRAP;
}

WindowStyle StyleOf(const Control& control) {
    switch (control.GetKind()) {
        case Kind::Label:
            // SS_NOTIFY: a plain static is transparent to the mouse and would show no hint.
            return {"STATIC",
                    SS_NOTIFY | AlignmentStyle(static_cast<const Label&>(control).GetAlignment()),
                    0};
        case Kind::GroupBox:
            return {"BUTTON", BS_GROUPBOX, 0};
        case Kind::Button:
            return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case Kind::SpeedButton:
            return {"BUTTON", BS_OWNERDRAW, 0};
        case Kind::CheckBox:
            // Not BS_AUTO3STATE: the control object decides the next state of a click.
            return {"BUTTON", BS_3STATE | WS_TABSTOP, 0};
        case Kind::ComboBox:
            return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
        case Kind::ListBox:
            return {"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case Kind::Edit:
            return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case Kind::Form:
            break;
    }
    return {"STATIC", 0, 0};
}

// All windows are children of the form, so the groups a control sits in hide and disable it
// through these, not through a parent window.
bool ShowingInForm(const Control& control) {
    for (const Control* c = &control; c && c->GetKind() != Kind::Form; c = c->Parent()) {
        if (!c->Visible()) return false;
    }
    return true;
}

bool EnabledInForm(const Control& control) {
    for (const Control* c = &control; c && c->GetKind() != Kind::Form; c = c->Parent()) {
        if (!c->Enabled()) return false;
    }
    return true;
}

bool HasCaption(Kind kind) {
    return kind != Kind::ComboBox && kind != Kind::ListBox && kind != Kind::Edit;
}

std::string WindowText(HWND hwnd) {
    std::string text(GetWindowTextLengthA(hwnd) + 1, '\0');
    text.resize(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size())));
    return text;
}

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

ControlWindow::ControlWindow(Control& control, FormWindow& owner, int id)
    : control_(&control), owner_(owner) {
    WindowStyle ws = StyleOf(control);
    DWORD style = WS_CHILD | ws.style;
    if (ShowingInForm(control)) style |= WS_VISIBLE;
    if (!EnabledInForm(control)) style |= WS_DISABLED;
    Rect r = control.PlaceInForm();
    const char* text = HasCaption(control.GetKind()) ? control.Caption().c_str() : "";
    hwnd_ = CreateWindowExA(ws.exStyle, ws.className, text, style, r.left, r.top, r.width, r.height,
                            owner.Handle(), reinterpret_cast<HMENU>(INT_PTR{id}),
                            GetModuleHandleA(nullptr), nullptr);
    if (control.GetKind() == Kind::SpeedButton) {
        SetWindowSubclass(hwnd_, SpeedButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ApplyFont();
    ApplyItems();
    Update(Aspect::ItemIndex);
    Update(Aspect::Text);
    Update(Aspect::Check);
    Move();
    ApplyHint();
}

bool ControlWindow::OnFormBackground() const {
    if (!control_) return false;
    switch (control_->GetKind()) {
        case Kind::Label:
        case Kind::GroupBox:
        case Kind::CheckBox:
        case Kind::Button:
        case Kind::SpeedButton:
            return true;
        default:
            return false;
    }
}

void ControlWindow::ControlDestroyed() {
    control_ = nullptr;
    if (!hwnd_) return;
    ApplyHint();
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void ControlWindow::ForChildren(Aspect aspect) {
    for (Control* child : control_->Children()) {
        if (Peer* peer = child->GetPeer()) peer->Update(aspect);
    }
}

void ControlWindow::Update(Aspect aspect) {
    if (!control_ || !hwnd_) return;
    Kind kind = control_->GetKind();
    switch (aspect) {
        case Aspect::Caption:
            if (kind == Kind::Label) {
                LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
                style |= AlignmentStyle(static_cast<Label*>(control_)->GetAlignment());
                SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
            }
            if (HasCaption(kind)) SetWindowTextA(hwnd_, control_->Caption().c_str());
            if (kind == Kind::Label) Move();
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case Aspect::Hint:
            ApplyHint();
            break;
        case Aspect::Place:
            Move();
            ForChildren(aspect);
            break;
        case Aspect::Visible:
            ShowWindow(hwnd_, ShowingInForm(*control_) ? SW_SHOWNA : SW_HIDE);
            ForChildren(aspect);
            break;
        case Aspect::Enabled:
            EnableWindow(hwnd_, EnabledInForm(*control_));
            ForChildren(aspect);
            break;
        case Aspect::Font:
            ApplyFont();
            ForChildren(aspect);
            break;
        case Aspect::Check:
            if (kind == Kind::CheckBox) {
                SendMessageA(hwnd_, BM_SETCHECK, CheckOf(static_cast<CheckBox*>(control_)->State()),
                             0);
            }
            break;
        case Aspect::Items:
            ApplyItems();
            break;
        case Aspect::ItemIndex:
            if (kind == Kind::ComboBox) {
                // Selecting from code leaves the text alone, as the control object does;
                // CB_SETCURSEL would put the item's text (or nothing) in the edit field.
                std::string text = WindowText(hwnd_);
                int index = static_cast<ComboBox*>(control_)->StoredItemIndex();
                SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
                SetWindowTextA(hwnd_, text.c_str());
            } else if (kind == Kind::ListBox) {
                int index = static_cast<ListBox*>(control_)->StoredItemIndex();
                SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
            break;
        case Aspect::Text:
            if (kind == Kind::ComboBox) {
                SetWindowTextA(hwnd_, static_cast<ComboBox*>(control_)->StoredText().c_str());
            } else if (kind == Kind::Edit) {
                SetWindowTextA(hwnd_, static_cast<Edit*>(control_)->StoredText().c_str());
            }
            break;
        case Aspect::Menu:
        case Aspect::Timers:
            break;
    }
}

std::string ControlWindow::ReadText() { return hwnd_ ? WindowText(hwnd_) : std::string(); }

int ControlWindow::ReadItemIndex() {
    if (!control_ || !hwnd_) return -1;
    UINT message = control_->GetKind() == Kind::ComboBox ? CB_GETCURSEL : LB_GETCURSEL;
    return static_cast<int>(SendMessageA(hwnd_, message, 0, 0));
}

// A label shows its whole caption on one line, as an auto-sized label does: one wider than its
// place grows away from the side it is aligned to.
void ControlWindow::WidenLabel(Rect& r) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, owner_.Fonts().Get(control_->GetFont()));
    RECT text = {0, 0, 0, 0};
    DrawTextA(dc, control_->Caption().c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int grow = text.right - r.width;
    if (grow <= 0) return;
    Alignment alignment = static_cast<Label*>(control_)->GetAlignment();
    if (alignment == Alignment::Right) r.left -= grow;
    if (alignment == Alignment::Center) r.left -= grow / 2;
    r.width += grow;
}

void ControlWindow::Move() {
    Rect r = control_->PlaceInForm();
    if (control_->GetKind() == Kind::Label) WidenLabel(r);
    int height = r.height;
    if (control_->GetKind() == Kind::ComboBox) {
        // A combo box's window reaches down over its open list.
        int row = static_cast<int>(SendMessageA(hwnd_, CB_GETITEMHEIGHT, 0, 0));
        height += kDropDownRows * row + 2;
    }
    MoveWindow(hwnd_, r.left, r.top, r.width, height, TRUE);
    if (control_->GetKind() == Kind::ComboBox) FitComboField();
}

// A combo box sizes its closed height from its font; the field is stretched or shrunk so that
// the closed box fills its place.
void ControlWindow::FitComboField() {
    RECT closed;
    GetWindowRect(hwnd_, &closed);
    int field = static_cast<int>(SendMessageA(hwnd_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int frame = (closed.bottom - closed.top) - field;
    int wanted = control_->Place().height - frame;
    if (wanted > 0 && wanted != field) {
        SendMessageA(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
}

void ControlWindow::ApplyFont() {
    HFONT font = owner_.Fonts().Get(control_->GetFont());
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control_->GetKind() == Kind::ComboBox) FitComboField();
    if (control_->GetKind() == Kind::Label) Move();
}

void ControlWindow::ApplyHint() {
    const std::string hint = control_ ? control_->Hint() : std::string();
    TTTOOLINFOA tool = {};
    // The version 2 size, which every comctl32 since 4.70 accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = owner_.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = const_cast<char*>(hint.c_str());
    HWND tooltip = owner_.Tooltip();
    if (!tooltip) return;
    if (hint.empty()) {
        if (hasTool_) SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        hasTool_ = false;
    } else if (hasTool_) {
        SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        hasTool_ = SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
}

// The list follows the items: items added at the end are appended, anything else fills the
// list anew. A combo box keeps the text of its edit field, which emptying the list clears.
void ControlWindow::ApplyItems() {
    Kind kind = control_->GetKind();
    if (kind != Kind::ComboBox && kind != Kind::ListBox) return;
    bool combo = kind == Kind::ComboBox;
    const auto& items = static_cast<ItemsControl*>(control_)->Items();
    UINT countMessage = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
    UINT addMessage = combo ? CB_ADDSTRING : LB_ADDSTRING;

    auto shown = static_cast<size_t>(SendMessageA(hwnd_, countMessage, 0, 0));
    bool appended = shown <= items.size();
    for (size_t i = 0; appended && i < shown; ++i) {
        std::string text(SendMessageA(hwnd_, lengthMessage, i, 0) + 1, '\0');
        text.resize(SendMessageA(hwnd_, textMessage, i, reinterpret_cast<LPARAM>(text.data())));
        appended = text == items[i];
    }
    if (!appended) {
        std::string typed = combo ? WindowText(hwnd_) : std::string();
        SendMessageA(hwnd_, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
        shown = 0;
        if (combo) SetWindowTextA(hwnd_, typed.c_str());
    }
    for (size_t i = shown; i < items.size(); ++i) {
        SendMessageA(hwnd_, addMessage, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
    }
}

void ControlWindow::Notify(int code) {
    if (!control_) return;
    switch (control_->GetKind()) {
        case Kind::Button:
        case Kind::SpeedButton:
            if (code == BN_CLICKED) static_cast<Button*>(control_)->Click();
            break;
        case Kind::CheckBox:
            if (code == BN_CLICKED) static_cast<CheckBox*>(control_)->UserClick();
            break;
        case Kind::ListBox:
            if (code == LBN_SELCHANGE) {
                auto index = static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
                static_cast<ListBox*>(control_)->UserPicked(index);
            }
            break;
        case Kind::ComboBox:
            if (code == CBN_SELCHANGE) {
                // The edit field takes the picked item's text only after this notification;
                // put it there now so that the handler reads what was picked.
                auto index = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
                if (index >= 0) {
                    std::string text(SendMessageA(hwnd_, CB_GETLBTEXTLEN, index, 0) + 1, '\0');
                    text.resize(SendMessageA(hwnd_, CB_GETLBTEXT, index,
                                             reinterpret_cast<LPARAM>(text.data())));
                    SetWindowTextA(hwnd_, text.c_str());
                }
                static_cast<ComboBox*>(control_)->UserPicked(index);
            }
            break;
        default:
            break;
    }
}

// A flat speed button: the caption in its own font on the form's background, a raised edge
// while the mouse is over it and a sunken one while it is pressed.
void ControlWindow::Draw(const DRAWITEMSTRUCT& item) {
    if (!control_) return;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, owner_.Background());
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        OffsetRect(&r, 1, 1);
    } else if (hot_) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    HGDIOBJ old = SelectObject(dc, owner_.Fonts().Get(control_->GetFont()));
    SetBkMode(dc, TRANSPARENT);
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(dc, control_->Caption().c_str(), -1, &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    SelectObject(dc, old);
}

LRESULT CALLBACK ControlWindow::SpeedButtonProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<ControlWindow*>(data);
    switch (message) {
        case WM_SETFOCUS: {
            // A speed button takes no focus: a click hands it back to where it was.
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
            RemoveWindowSubclass(hwnd, SpeedButtonProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ui
