#pragma once
// The child window behind one control of a form: what every kind of control shares (creation,
// place, font, hint, visibility). Each kind has a peer class of its own that derives from it.
// The window is made when the control first shows in the form: one that is never shown (a
// grid row the table does not fill, a group kept hidden) costs no window at all.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "ui/Controls.h"

namespace ui {

class FormWindow;

class ControlWindow : public Peer {
public:
    ~ControlWindow() override = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    // Makes the window, in the control's state of now, if the control shows in the form and
    // has none yet.
    void Realize();
    // The window; null until it is made.
    HWND Handle() const { return hwnd_; }
    // Still showing its control: false once the control or the form let go.
    bool Attached() const { return control_ != nullptr; }
    // Drawn on the form's background rather than on a background of its own.
    virtual bool OnFormBackground() const { return false; }
    // The colour its text is drawn in on that background.
    virtual COLORREF TextColor() const { return GetSysColor(COLOR_WINDOWTEXT); }
    // Shows the hand-point cursor under the mouse, as a link does.
    virtual bool HandCursor() const { return false; }
    // Lies beneath the controls it frames, which then get the mouse and paint over it.
    virtual bool LiesBeneath() const { return false; }

    void Update(Aspect aspect) final;
    std::optional<std::string> ReadText() final;
    std::optional<int> ReadItemIndex() final;
    void ControlDestroyed() final;
    // The form goes away: the window goes with it, the control stays.
    void Detach();

    // A notification the form reflects to the control that sent it.
    virtual void Notify(int /*code*/) {}
    // An owner-drawn control draws itself.
    virtual void Draw(const DRAWITEMSTRUCT& /*item*/) {}
    // Gives the form's tooltip the control's hint (once the form has its tooltip).
    void ApplyHint();

protected:
    struct WindowClass {
        const wchar_t* name;
        DWORD style;
        DWORD exStyle;
    };

    ControlWindow(Control& control, FormWindow& owner, const WindowClass& windowClass, int id)
        : control_(&control), owner_(owner), class_(windowClass), id_(id) {}
    // The style the window is made with, besides WS_CHILD, WS_VISIBLE and WS_DISABLED.
    virtual DWORD Style() const { return class_.style; }
    // The text the window is made with: by default the caption.
    virtual platform::WideString InitialText() const;
    // Shows what else the control holds, once its window is made.
    virtual void Fill() {}

    Control* GetControl() const { return control_; }
    FormWindow& Owner() const { return owner_; }
    HFONT CurrentFont() const { return font_; }

    // What the user left in the window, once it is made: typed text, the picked item.
    virtual std::optional<std::string> TextInWindow() const { return std::nullopt; }
    virtual std::optional<int> ItemIndexInWindow() const { return std::nullopt; }

    // Shows a change of what the control holds beyond its place, font, hint, visibility and
    // enabled state; by default its caption.
    virtual void Apply(Aspect aspect);
    // Every text the control shows from the program, which its one font has to draw.
    virtual platform::WideString ShownText() const;
    // Where the window goes in the form when it shows its text in `font`: by default the
    // control's place.
    virtual Rect Placement(HFONT font) const;
    // Puts the window in its place.
    virtual void Move();
    // Another font was set.
    virtual void FontChanged() {}

    // The caption as the window's text, in a font that has its letters.
    void ShowCaption();
    // A text as the window's, in a font that has its letters.
    void ShowText(const std::string& text);
    void ApplyFont();
    platform::WideString WindowText() const;
    // What the window shows, as the program's text (see the definition).
    std::string ReadBack(const std::vector<std::string>& items, const std::string& own) const;

private:
    void ForChildren(Aspect aspect);

    Control* control_;
    FormWindow& owner_;
    WindowClass class_;
    int id_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;  // owned by the font cache
    bool hasTool_ = false;
};

}  // namespace ui
