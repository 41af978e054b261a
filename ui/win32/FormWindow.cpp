#include "ui/win32/FormWindow.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/WideText.h"
#include "ui/win32/FontCache.h"
#include "ui/win32/NewControlWindow.h"

namespace ui {
namespace {

using platform::ToWide;

// Controls' ids from 100: clear of IDOK and IDCANCEL, which the dialog manager sends for Enter
// and Escape, and below the menu's commands.
constexpr int kFirstControlId = 100;

// A timer's id is the timer object itself, looked up among the form's timers before use: a tick
// still queued for a timer that is gone finds nothing.
UINT_PTR TimerId(const Timer* timer) { return reinterpret_cast<UINT_PTR>(timer); }

DWORD FrameStyle(const Form& form) {
    DWORD style = WS_CAPTION;
    if (form.SystemMenu()) style |= WS_SYSMENU;
    if (form.MinimizeBox()) style |= WS_MINIMIZEBOX;
    if (form.Border() == BorderStyle::Sizeable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    return style;
}

DWORD FrameExStyle(const Form& form) {
    return WS_EX_CONTROLPARENT | (form.StayOnTop() ? WS_EX_TOPMOST : 0);
}

// One window class a form, named as the form's class is: "TForm1" for "Form1". A Unicode
// class, so that the form and the controls on it take every text as UTF-16.
platform::WideString RegisterClassOf(const Form& form, WNDPROC proc) {
    platform::WideString name = ToWide("T" + form.Name());
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(module, name.c_str(), &wc)) return name;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hIcon = LoadIconW(module, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);
    return name;
}

}  // namespace

FormWindow::FormWindow(Form& form, FontCache& fonts) : form_(&form), fonts_(fonts) {
    platform::WideString windowClass = RegisterClassOf(form, WindowProc);
    DWORD style = FrameStyle(form);
    DWORD exStyle = FrameExStyle(form);
    RECT frame = {0, 0, form.Place().width, form.Place().height};
    AdjustWindowRectEx(&frame, style, form.HasMenu(), exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    HINSTANCE module = GetModuleHandleW(nullptr);
    CreateWindowExW(exStyle, windowClass.c_str(), ToWide(form.Caption()).c_str(), style, 0, 0,
                    width, height, nullptr, nullptr, module, this);
    int id = kFirstControlId;
    CreateControls(form, id);
    order_.Settle();
    BuildMenu();

    // Centred on the desktop.
    RECT placed;
    GetWindowRect(hwnd_, &placed);
    int left = (GetSystemMetrics(SM_CXSCREEN) - (placed.right - placed.left)) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - (placed.bottom - placed.top)) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    form.AttachPeer(this);
    SyncTimers();
    if (form.Visible()) Update(Aspect::Visible);
}

FormWindow::~FormWindow() { Detach(); }

HBRUSH FormWindow::Background() const {
    return GetSysColorBrush(form_ ? form_->BackgroundColor() : COLOR_BTNFACE);
}

void FormWindow::Detach() {
    if (!form_) return;
    for (auto& control : controls_)
        control->Detach();
    form_->AttachPeer(nullptr);
    form_ = nullptr;
    // From here on the window's messages go to the default procedure. Its children, its
    // tooltip (an owned popup) and its menu go with it.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    tooltip_ = nullptr;
}

void FormWindow::CreateControls(Control& parent, int& id) {
    for (Control* child : parent.Children()) {
        if (auto window = NewControlWindow(*child, *this, id++)) {
            child->AttachPeer(window.get());
            controls_.push_back(std::move(window));
            controls_.back()->Realize();
        }
        CreateControls(*child, id);
    }
}

void FormWindow::Update(Aspect aspect) {
    if (!form_) return;
    switch (aspect) {
        case Aspect::Caption:
            SetWindowTextW(hwnd_, ToWide(form_->Caption()).c_str());
            break;
        case Aspect::Place:
            FitToClient();
            break;
        case Aspect::Visible:
            ShowWindow(hwnd_, form_->Visible() ? SW_SHOW : SW_HIDE);
            break;
        case Aspect::Enabled:
            EnableWindow(hwnd_, form_->Enabled());
            break;
        case Aspect::Font:
            for (Control* child : form_->Children()) {
                if (Peer* peer = child->GetPeer()) peer->Update(aspect);
            }
            break;
        case Aspect::Menu:
            BuildMenu();
            break;
        case Aspect::Timers:
            SyncTimers();
            break;
        default:
            break;
    }
}

// The client area keeps the form's size whatever the frame and the menu bar take (a narrow
// window wraps its menu bar onto more lines).
void FormWindow::FitToClient() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client;
        GetClientRect(hwnd_, &client);
        int dw = form_->Place().width - client.right;
        int dh = form_->Place().height - client.bottom;
        if (dw == 0 && dh == 0) return;
        RECT frame;
        GetWindowRect(hwnd_, &frame);
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dw,
                     frame.bottom - frame.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void FormWindow::BuildMenu() {
    menu_.Build(hwnd_, *form_);
    FitToClient();
}

void FormWindow::PutInOrder(const ControlWindow& late) { order_.Place(late); }

ControlWindow* FormWindow::PeerOf(HWND child) const {
    if (!child) return nullptr;
    for (const auto& control : controls_) {
        if (control->Handle() == child) return control->Attached() ? control.get() : nullptr;
    }
    return nullptr;
}

// The hints' tooltip is made when the mouse first comes over the form, not with the form: a
// top-level window costs as much to make as a handful of controls, and the form shows sooner.
// The move that brought the mouse there is passed on, so the hint under it counts from now.
void FormWindow::CreateTooltip(HWND under) {
    // Owned by the form, so it goes with it.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;
    for (auto& control : controls_)
        control->ApplyHint();
    POINT at;
    if (under && GetCursorPos(&at) && ScreenToClient(under, &at)) {
        MSG move = {
            under, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y), static_cast<DWORD>(GetMessageTime()),
            at};
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    }
}

// Windows' timers restart when set again, as the form's timers do at any change.
void FormWindow::SyncTimers() {
    for (UINT_PTR id : timers_)
        KillTimer(hwnd_, id);
    timers_.clear();
    for (const Timer* timer : form_->Timers()) {
        if (!timer->Enabled() || timer->Interval() == 0 || !timer->OnTimer) continue;
        SetTimer(hwnd_, TimerId(timer), timer->Interval(), nullptr);
        timers_.push_back(TimerId(timer));
    }
}

// A window that is not a dialog gets no focus handling of its own: activation gives the focus
// back to the control that had it, or to the first control in tab order.
void FormWindow::ShowFocus() {
    HWND target = lastFocus_;
    if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    }
    SetFocus(target ? target : hwnd_);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* created =
            reinterpret_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // The control layer runs every handler inside the form's error boundary; anything else that
    // escapes ends the process here (noexcept) rather than unwind through the system's code.
    ++self->depth_;
    LRESULT result = self->HandleMessage(message, wParam, lParam);
    --self->depth_;
    return result;
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            if (lParam == 0) {
                // A menu entry; Escape's IDCANCEL also comes this way and names none.
                if (MenuItem* entry = menu_.Command(wParam)) entry->Click();
                return 0;
            }
            if (ControlWindow* peer = PeerOf(reinterpret_cast<HWND>(lParam))) {
                peer->Notify(HIWORD(wParam));
                return 0;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (ControlWindow* peer = PeerOf(item->hwndItem)) {
                peer->Draw(*item);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Labels, check boxes and group boxes sit on the form's own background colour.
            ControlWindow* peer = PeerOf(reinterpret_cast<HWND>(lParam));
            if (peer && peer->OnFormBackground()) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, peer->TextColor());
                SetBkColor(dc, GetSysColor(form_->BackgroundColor()));
                return reinterpret_cast<LRESULT>(Background());
            }
            break;
        }
        case WM_SETCURSOR: {
            if (!tooltip_) CreateTooltip(reinterpret_cast<HWND>(wParam));
            ControlWindow* peer = PeerOf(reinterpret_cast<HWND>(wParam));
            if (peer && peer->HandCursor() && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            break;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, Background());
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd_, &ps);
            EndPaint(hwnd_, &ps);
            // A paint handler may open a message box, whose own loop paints the window again
            // underneath it: that paint must not run the handler a second time.
            if (!painting_) {
                painting_ = true;
                form_->Paint();
                painting_ = false;
            }
            return 0;
        }
        case WM_TIMER:
            for (Timer* timer : form_->Timers()) {
                if (TimerId(timer) == wParam) {
                    timer->Tick();
                    break;
                }
            }
            return 0;
        case WM_CLOSE:
            form_->UserClose();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                ShowFocus();
                return 0;
            }
            break;
        case DM_GETDEFID: {
            // IsDialogMessage asks which button Enter presses: the push button with the focus.
            HWND focus = GetFocus();
            if (focus && GetParent(focus) == hwnd_ &&
                (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
                 (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
                return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ui
