#pragma once
// A top-level window with its menu and timers.

#include <cstdint>

#include "ui/Controls.h"

namespace platform {
class MessageBoxes;
}

namespace ui {

class Application;

class MenuItem {
public:
    MenuItem(std::string name, std::string caption)
        : name_(std::move(name)), caption_(std::move(caption)) {}
    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // A check mark before the entry.
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    MenuItem& Add(std::string name, std::string caption);
    std::vector<std::unique_ptr<MenuItem>>& Items() { return items_; }
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
    // The user picked the entry: runs OnClick inside its form's error boundary.
    void Click();
    std::function<void()> OnClick;

    Form* form = nullptr;

private:
    std::string name_;
    std::string caption_;
    bool checked_ = false;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

// A timer of a form. The form's window keeps a pointer to it, so it stays where it was made:
// it leaves the form when destroyed, and a form destroyed first lets go of it.
class Timer {
public:
    explicit Timer(Form& form);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // One tick: runs OnTimer inside the error boundary (the backend's timer, or a test).
    void Tick();
    std::function<void()> OnTimer;

private:
    friend class Form;
    void Changed();

    Form* form_;
    std::uint32_t interval_ = 1000;
    bool enabled_ = true;
};

enum class BorderStyle { Sizeable, Single };

class Form : public Control {
public:
    Form(Application& app, std::string name);
    ~Form() override;

    Application& App() { return app_; }

    // The client area's size is the form's place; the form opens centred on the desktop.
    BorderStyle Border() const { return border_; }
    void SetBorder(BorderStyle border) { border_ = border; }
    bool MinimizeBox() const { return minimizeBox_; }
    void SetMinimizeBox(bool on) { minimizeBox_ = on; }
    bool SystemMenu() const { return systemMenu_; }
    void SetSystemMenu(bool on) { systemMenu_ = on; }
    bool StayOnTop() const { return stayOnTop_; }
    void SetStayOnTop(bool on) { stayOnTop_ = on; }
    int BackgroundColor() const { return backgroundColor_; }  // a system colour index
    void SetBackgroundColor(int systemColor) { backgroundColor_ = systemColor; }

    MenuItem& Menu() { return menu_; }
    bool HasMenu() const { return !menu_.Items().empty(); }
    void MenuChanged() { Changed(Aspect::Menu); }
    const std::vector<Timer*>& Timers() const { return timers_; }

    // Makes the window real (when a backend is present) and shows it.
    void Show();
    void Hide();

    // The window system asks for a paint; runs OnPaint inside the error boundary.
    void Paint();
    std::function<void()> OnPaint;
    // The close box was used: the window hides; the main form ends the message loop.
    void UserClose();

    // Runs a handler; an error it raises is shown in the standard error box and the program
    // goes on. A copy of the handler runs: it may destroy the object that holds it.
    void Run(std::function<void()> handler);

private:
    friend class Timer;
    Application& app_;
    BorderStyle border_ = BorderStyle::Single;
    bool minimizeBox_ = true;
    bool systemMenu_ = true;
    bool stayOnTop_ = false;
    int backgroundColor_ = 15;  // COLOR_BTNFACE
    MenuItem menu_{"", ""};
    std::vector<Timer*> timers_;
};

}  // namespace ui
