#include "ui/win32/ControlWindow.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/WideText.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/FormWindow.h"

namespace ui {
namespace {

using platform::FromWide;
using platform::ToWide;

// A drop-down list shows this many items before it scrolls.
constexpr int kDropDownRows = 8;

struct WindowStyle {
    const wchar_t* className;
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
            return {L"STATIC",
                    SS_NOTIFY | AlignmentStyle(static_cast<const Label&>(control).GetAlignment()),
                    0};
        case Kind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case Kind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case Kind::SpeedButton:
            return {L"BUTTON", BS_OWNERDRAW, 0};
        case Kind::CheckBox:
            // Not BS_AUTO3STATE: the control object decides the next state of a click.
            return {L"BUTTON", BS_3STATE | WS_TABSTOP, 0};
        case Kind::ComboBox:
            return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
        case Kind::ListBox:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case Kind::Edit:
            return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case Kind::Form:
            break;
    }
    return {L"STATIC", 0, 0};
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

std::wstring WindowText(HWND hwnd) {
    std::wstring text(GetWindowTextLengthW(hwnd) + 1, L'\0');
    text.resize(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())));
    return text;
}

std::wstring ItemText(HWND hwnd, bool combo, size_t index) {
    LRESULT length = SendMessageW(hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(length + 1, L'\0');
    LRESULT copied = SendMessageW(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, index,
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : copied);
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
    std::wstring text = HasCaption(control.GetKind()) ? ToWide(control.Caption()) : L"";
    hwnd_ = CreateWindowExW(ws.exStyle, ws.className, text.c_str(), style, r.left, r.top, r.width,
                            r.height, owner.Handle(), reinterpret_cast<HMENU>(INT_PTR{id}),
                            GetModuleHandleW(nullptr), nullptr);
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
                LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
                style |= AlignmentStyle(static_cast<Label*>(control_)->GetAlignment());
                SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
            }
            if (HasCaption(kind)) SetWindowTextW(hwnd_, ToWide(control_->Caption()).c_str());
            ApplyFont();
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
                SendMessageW(hwnd_, BM_SETCHECK, CheckOf(static_cast<CheckBox*>(control_)->State()),
                             0);
            }
            break;
        case Aspect::Items:
            ApplyItems();
            ApplyFont();
            break;
        case Aspect::ItemIndex:
            if (kind == Kind::ComboBox) {
                // Selecting from code leaves the text alone, as the control object does;
                // CB_SETCURSEL would put the item's text (or nothing) in the edit field.
                std::wstring text = WindowText(hwnd_);
                int index = static_cast<ComboBox*>(control_)->StoredItemIndex();
                SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
                SetWindowTextW(hwnd_, text.c_str());
            } else if (kind == Kind::ListBox) {
                int index = static_cast<ListBox*>(control_)->StoredItemIndex();
                SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
            break;
        case Aspect::Text:
            if (kind == Kind::ComboBox) {
                SetWindowTextW(hwnd_,
                               ToWide(static_cast<ComboBox*>(control_)->StoredText()).c_str());
            } else if (kind == Kind::Edit) {
                SetWindowTextW(hwnd_, ToWide(static_cast<Edit*>(control_)->StoredText()).c_str());
            }
            ApplyFont();
            break;
        case Aspect::Menu:
        case Aspect::Timers:
            break;
    }
}

// Typed text comes back in the ANSI code page, as the program's texts are. A text the program
// put there itself (its own or one of its items) comes back as the program's bytes, which a
// built-in UTF-8 text would not survive that way.
std::string ControlWindow::ReadText() {
    if (!hwnd_) return {};
    std::wstring shown = WindowText(hwnd_);
    if (control_) {
        std::vector<std::string> put;
        if (control_->GetKind() == Kind::ComboBox) {
            auto* combo = static_cast<ComboBox*>(control_);
            put = combo->Items();
            put.push_back(combo->StoredText());
        } else if (control_->GetKind() == Kind::Edit) {
            put.push_back(static_cast<Edit*>(control_)->StoredText());
        }
        for (const std::string& text : put) {
            if (ToWide(text) == shown) return text.substr(0, text.find('\0'));
        }
    }
    return FromWide(shown);
}

int ControlWindow::ReadItemIndex() {
    if (!control_ || !hwnd_) return -1;
    UINT message = control_->GetKind() == Kind::ComboBox ? CB_GETCURSEL : LB_GETCURSEL;
    return static_cast<int>(SendMessageW(hwnd_, message, 0, 0));
}

// A label shows its whole caption on one line, as an auto-sized label does: one wider than its
// place grows away from the side it is aligned to.
void ControlWindow::WidenLabel(Rect& r) {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    RECT text = {0, 0, 0, 0};
    DrawTextW(dc, ToWide(control_->Caption()).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
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
        int row = static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0));
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
    int field = static_cast<int>(SendMessageW(hwnd_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int frame = (closed.bottom - closed.top) - field;
    int wanted = control_->Place().height - frame;
    if (wanted > 0 && wanted != field) {
        SendMessageW(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
}

// Every text the control shows from the program, which its one font has to draw.
std::wstring ControlWindow::ShownText() const {
    std::wstring text;
    Kind kind = control_->GetKind();
    if (HasCaption(kind)) text = ToWide(control_->Caption());
    if (kind == Kind::ComboBox || kind == Kind::ListBox) {
        for (const std::string& item : static_cast<ItemsControl*>(control_)->Items())
            text += ToWide(item);
    }
    if (kind == Kind::ComboBox) text += ToWide(static_cast<ComboBox*>(control_)->StoredText());
    if (kind == Kind::Edit) text += ToWide(static_cast<Edit*>(control_)->StoredText());
    return text;
}

// A change of text may call for another font (see FontCache::For); the same font is not set
// again, which would redraw the control at every change of its caption.
void ControlWindow::ApplyFont() {
    HFONT font = owner_.Fonts().For(control_->GetFont(), ShownText());
    if (font == font_) return;
    font_ = font;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control_->GetKind() == Kind::ComboBox) FitComboField();
    if (control_->GetKind() == Kind::Label) Move();
}

void ControlWindow::ApplyHint() {
    std::wstring hint = ToWide(control_ ? control_->Hint() : std::string());
    TTTOOLINFOW tool = {};
    // The version 2 size, which every comctl32 since 4.70 accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = owner_.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = hint.data();
    HWND tooltip = owner_.Tooltip();
    if (!tooltip) return;
    if (hint.empty()) {
        if (hasTool_) SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        hasTool_ = false;
    } else if (hasTool_) {
        SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        hasTool_ = SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
}

// The list follows the items: items added at the end are appended, anything else fills the
// list anew. A combo box keeps the text of its edit field, which emptying the list clears.
void ControlWindow::ApplyItems() {
    Kind kind = control_->GetKind();
    if (kind != Kind::ComboBox && kind != Kind::ListBox) return;
    bool combo = kind == Kind::ComboBox;
    const auto& items = static_cast<ItemsControl*>(control_)->Items();
    UINT addMessage = combo ? CB_ADDSTRING : LB_ADDSTRING;

    auto shown = static_cast<size_t>(SendMessageW(hwnd_, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    bool appended = shown <= items.size();
    for (size_t i = 0; appended && i < shown; ++i)
        appended = ItemText(hwnd_, combo, i) == ToWide(items[i]);
    if (!appended) {
        std::wstring typed = combo ? WindowText(hwnd_) : std::wstring();
        SendMessageW(hwnd_, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
        shown = 0;
        if (combo) SetWindowTextW(hwnd_, typed.c_str());
    }
    for (size_t i = shown; i < items.size(); ++i) {
        SendMessageW(hwnd_, addMessage, 0, reinterpret_cast<LPARAM>(ToWide(items[i]).c_str()));
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
                auto index = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
                static_cast<ListBox*>(control_)->UserPicked(index);
            }
            break;
        case Kind::ComboBox:
            if (code == CBN_SELCHANGE) {
                // The edit field takes the picked item's text only after this notification;
                // put it there now so that the handler reads what was picked.
                auto index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
                if (index >= 0) SetWindowTextW(hwnd_, ItemText(hwnd_, true, index).c_str());
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
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, ToWide(control_->Caption()).c_str(), -1, &r,
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
