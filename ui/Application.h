#pragma once
// The application object: its title, the error boundary every handler runs in, and the
// backend that makes forms real.

#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace ui {

class Form;

class Backend {
public:
    virtual ~Backend() = default;
    // Creates the window of a form and of all its controls, attaching a peer to each.
    virtual void Realize(Form& form) = 0;
    // The form goes away; its peers must be released.
    virtual void Forget(Form& form) = 0;
    // Runs the message loop until Quit.
    virtual void Run() = 0;
    virtual void Quit() = 0;
};

class Application {
public:
    explicit Application(platform::MessageBoxes& boxes, Backend* backend = nullptr)
        : boxes_(boxes), backend_(backend) {}

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    Backend* GetBackend() const { return backend_; }
    platform::MessageBoxes& Boxes() { return boxes_; }

    // Runs a handler. An exception it raises is shown with its text in the standard error box
    // (captioned with the title) and the program goes on. Ending the process is not an error
    // and passes through.
    void Run(const std::function<void()>& handler);

    // The main form: closing it ends the message loop.
    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* form) { mainForm_ = form; }
    void Quit();

    // Runs the message loop (a no-op without a backend).
    void RunLoop();

private:
    platform::MessageBoxes& boxes_;
    Backend* backend_;
    std::string title_;
    Form* mainForm_ = nullptr;
};

}  // namespace ui
