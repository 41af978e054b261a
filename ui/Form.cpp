#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

void MenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (form) form->MenuChanged();
}

MenuItem& MenuItem::Add(std::string name, std::string caption) {
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
    items_.back()->form = form;
    return *items_.back();
}

Timer::Timer(Form& form) : form_(form) { form_.Timers().push_back(this); }

void Timer::SetInterval(std::uint32_t ms) {
    interval_ = ms;
    form_.TimersChanged();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    form_.TimersChanged();
}

void Timer::Tick() {
    if (enabled_ && OnTimer) form_.Run(OnTimer);
}

Form::Form(Application& app, std::string name)
    : Control(nullptr, Kind::Form, std::move(name)), app_(app) {
    menu_.form = this;
    SetVisible(false);
}

Form::~Form() {
    if (Backend* backend = app_.GetBackend(); backend && GetPeer()) backend->Forget(*this);
}

void Form::Show() {
    if (Backend* backend = app_.GetBackend(); backend && !GetPeer()) backend->Realize(*this);
    SetVisible(true);
}

void Form::Hide() { SetVisible(false); }

void Form::Paint() {
    if (OnPaint) Run(OnPaint);
}

void Form::UserClose() {
    if (OnClose) {
        Run(OnClose);
        return;
    }
    Hide();
    if (app_.MainForm() == this) app_.Quit();
}

void Form::Run(const std::function<void()>& handler) { app_.Run(handler); }

}  // namespace ui
