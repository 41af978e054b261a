#pragma once
// The child window behind one control of a form.

#include <windows.h>

#include <string>

#include "ui/Controls.h"

namespace ui {

class FormWindow;

class ControlWindow : public Peer {
public:
    // Creates the window as a child of the form's window, in the control's place in the form.
    ControlWindow(Control& control, FormWindow& owner, int id);
    ~ControlWindow() override = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    Control* GetControl() const { return control_; }
    // Drawn on the form's background rather than on a background of its own.
    bool OnFormBackground() const;

    void Update(Aspect aspect) override;
    std::string ReadText() override;
    int ReadItemIndex() override;
    void ControlDestroyed() override;
    // The form goes away: the window goes with it, the control stays.
    void Detach() { control_ = nullptr; }

    // Notifications the form reflects to the control that sent them.
    void Notify(int code);
    void Draw(const DRAWITEMSTRUCT& item);

private:
    static LRESULT CALLBACK SpeedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) noexcept;
    void Move();
    void WidenLabel(Rect& r);
    void FitComboField();
    std::wstring ShownText() const;
    void ApplyFont();
    void ApplyHint();
    void ApplyItems();
    void ForChildren(Aspect aspect);

    Control* control_;
    FormWindow& owner_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;  // owned by the font cache
    bool hasTool_ = false;
    bool hot_ = false;  // the mouse is over a speed button
};

}  // namespace ui
