#pragma once
// The top-level window behind a form: its child windows, menu, timers, hints and messages.

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/Form.h"
#include "ui/win32/ControlOrder.h"
#include "ui/win32/ControlWindow.h"
#include "ui/win32/MenuBar.h"

namespace ui {

class FontCache;

class FormWindow : public Peer {
public:
    FormWindow(Form& form, FontCache& fonts);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    Form* GetForm() const { return form_; }
    HWND Handle() const { return hwnd_; }
    HWND Tooltip() const { return tooltip_; }
    FontCache& Fonts() { return fonts_; }
    HBRUSH Background() const;

    // Lets go of the form and its controls and destroys the window.
    void Detach();
    // Puts a control's window made after the form's in its place among the others (see
    // ControlOrder).
    void PutInOrder(const ControlWindow& late);
    // One of its messages is being handled: the object must outlive that.
    bool Busy() const { return depth_ > 0; }

    void Update(Aspect aspect) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The peer of one of its child windows; null for any other window and for a peer whose
    // control is gone.
    ControlWindow* PeerOf(HWND child) const;
    void CreateTooltip(HWND under);

    void CreateControls(Control& parent, int& id);
    void FitToClient();
    void BuildMenu();
    void SyncTimers();
    void ShowFocus();

    Form* form_;
    FontCache& fonts_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    ControlOrder order_{controls_};
    MenuBar menu_;
    std::vector<UINT_PTR> timers_;
    HWND lastFocus_ = nullptr;
    int depth_ = 0;
    bool painting_ = false;
};

}  // namespace ui
