#include "ui/win32/ControlWindow.h"

#include <commctrl.h>

#include "platform/Utf8Text.h"
#include "platform/win32/WideText.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/FormWindow.h"

namespace ui {
namespace {

using platform::FromWide;
using platform::ToWide;

// All windows are children of the form, so the groups a control sits in hide (ShowingInForm)
// and disable it through the control, not through a parent window.
bool EnabledInForm(const Control& control) {
    for (const Control* c = &control; c && c->GetKind() != Kind::Form; c = c->Parent()) {
        if (!c->Enabled()) return false;
    }
    return true;
}

}  // namespace

void ControlWindow::Realize() {
    if (hwnd_ || !control_ || !control_->ShowingInForm()) return;
    DWORD style = WS_CHILD | WS_VISIBLE | Style();
    if (!EnabledInForm(*control_)) style |= WS_DISABLED;
    // The font is chosen first and the window made in its final place, which may depend on the
    // font: under Wine every move, redraw and device context of a window is a round trip to
    // the server, and a form has a hundred windows to make before it shows.
    font_ = owner_.Fonts().For(control_->GetFont(), ShownText());
    Rect r = Placement(font_);
    hwnd_ = CreateWindowExW(
        class_.exStyle, class_.name, InitialText().c_str(), style, r.left, r.top, r.width, r.height,
        owner_.Handle(), reinterpret_cast<HMENU>(INT_PTR{id_}), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    // Not shown yet: nothing to redraw.
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    owner_.PutInOrder(*this);
    ApplyHint();
    Fill();
}

platform::WideString ControlWindow::InitialText() const { return ToWide(control_->Caption()); }

void ControlWindow::ControlDestroyed() {
    control_ = nullptr;
    if (!hwnd_) return;
    ApplyHint();
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void ControlWindow::Detach() {
    if (control_) control_->AttachPeer(nullptr);
    control_ = nullptr;
}

void ControlWindow::ForChildren(Aspect aspect) {
    for (Control* child : control_->Children()) {
        if (Peer* peer = child->GetPeer()) peer->Update(aspect);
    }
}

void ControlWindow::Update(Aspect aspect) {
    if (!control_) return;
    if (!hwnd_) {
        // Everything else is taken as it then is when the window is made.
        if (aspect == Aspect::Visible) {
            Realize();
            ForChildren(aspect);
        }
        return;
    }
    switch (aspect) {
        case Aspect::Hint:
            ApplyHint();
            return;
        case Aspect::Place:
            Move();
            break;
        case Aspect::Visible:
            ShowWindow(hwnd_, control_->ShowingInForm() ? SW_SHOWNA : SW_HIDE);
            break;
        case Aspect::Enabled:
            EnableWindow(hwnd_, EnabledInForm(*control_));
            break;
        case Aspect::Font:
            ApplyFont();
            break;
        default:
            Apply(aspect);
            return;
    }
    // A group passes these on to the controls in it.
    ForChildren(aspect);
}

// A control without its window yet holds what the program put there.
std::optional<std::string> ControlWindow::ReadText() {
    if (!hwnd_) return std::nullopt;
    return TextInWindow();
}

std::optional<int> ControlWindow::ReadItemIndex() {
    if (!hwnd_) return std::nullopt;
    return ItemIndexInWindow();
}

void ControlWindow::Apply(Aspect aspect) {
    if (aspect == Aspect::Caption) ShowCaption();
}

void ControlWindow::ShowCaption() {
    ShowText(control_->Caption());
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlWindow::ShowText(const std::string& text) {
    SetWindowTextW(hwnd_, ToWide(text).c_str());
    ApplyFont();
}

platform::WideString ControlWindow::ShownText() const { return ToWide(control_->Caption()); }

Rect ControlWindow::Placement(HFONT /*font*/) const { return control_->PlaceInForm(); }

void ControlWindow::Move() {
    Rect r = Placement(font_);
    MoveWindow(hwnd_, r.left, r.top, r.width, r.height, TRUE);
}

// A change of text may call for another font (see FontCache::For); the same font is not set
// again, which would redraw the control at every change of its caption.
void ControlWindow::ApplyFont() {
    HFONT font = owner_.Fonts().For(control_->GetFont(), ShownText());
    if (font == font_) return;
    font_ = font;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    FontChanged();
}

platform::WideString ControlWindow::WindowText() const {
    platform::WideString text(GetWindowTextLengthW(hwnd_) + 1, L'\0');
    text.resize(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size())));
    return text;
}

// Typed text comes back in the ANSI code page, as the program's texts are. A text marked as
// UTF-8 that the program put there itself (its own or one of its items) comes back as it was:
// the code page may lack its letters.
std::string ControlWindow::ReadBack(const std::vector<std::string>& items,
                                    const std::string& own) const {
    platform::WideString shown = WindowText();
    auto putThere = [&shown](const std::string& text) {
        return platform::IsUtf8Marked(text) && ToWide(text) == shown;
    };
    for (const std::string& item : items) {
        if (putThere(item)) return item.substr(0, item.find('\0'));
    }
    if (putThere(own)) return own.substr(0, own.find('\0'));
    return FromWide(shown);
}

void ControlWindow::ApplyHint() {
    platform::WideString hint = ToWide(control_ ? control_->Hint() : std::string());
    TTTOOLINFOW tool = {};
    // The version 2 size, which every comctl32 since 4.70 accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = owner_.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = hint.data();
    HWND tooltip = owner_.Tooltip();
    if (!tooltip || !hwnd_) return;
    if (hint.empty()) {
        if (hasTool_) SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        hasTool_ = false;
    } else if (hasTool_) {
        SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        hasTool_ = SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
}

}  // namespace ui
