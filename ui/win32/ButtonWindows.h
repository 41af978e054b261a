#pragma once
// The controls that are windows of the BUTTON class: push buttons, flat speed buttons, check
// boxes and group boxes. All sit on the form's background.

#include "ui/win32/ControlWindow.h"

namespace ui {

class ButtonWindow final : public ControlWindow {
public:
    ButtonWindow(Button& button, FormWindow& owner, int id);
    bool OnFormBackground() const override { return true; }
    void Notify(int code) override;
};

// Drawn by the program: the caption in its own font, a raised edge while the mouse is over it
// and a sunken one while it is pressed; it takes no focus.
class SpeedButtonWindow final : public ControlWindow {
public:
    SpeedButtonWindow(SpeedButton& button, FormWindow& owner, int id);
    bool OnFormBackground() const override { return true; }
    void Notify(int code) override;
    void Draw(const DRAWITEMSTRUCT& item) override;

private:
    void Fill() override;
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) noexcept;
    bool hot_ = false;  // the mouse is over it
};

class CheckBoxWindow final : public ControlWindow {
public:
    CheckBoxWindow(CheckBox& box, FormWindow& owner, int id);
    bool OnFormBackground() const override { return true; }
    void Notify(int code) override;

private:
    void Apply(Aspect aspect) override;
    void Fill() override { Apply(Aspect::Check); }
};

class GroupBoxWindow final : public ControlWindow {
public:
    GroupBoxWindow(GroupBox& group, FormWindow& owner, int id);
    bool OnFormBackground() const override { return true; }
    bool LiesBeneath() const override { return true; }
};

}  // namespace ui
