#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

void MenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (form) form->MenuChanged();
}

void MenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (form) form->MenuChanged();
}

MenuItem& MenuItem::Add(std::string name, std::string caption) {
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
    items_.back()->form = form;
    return *items_.back();
}

void MenuItem::Click() {
    if (!OnClick) return;
    if (form) {
        form->Run(OnClick);
    } else {
        // A copy: the handler may destroy this entry while it runs.
        std::function<void()> run = OnClick;
        run();
    }
}

Timer::Timer(Form& form) : form_(&form) {
    form_->timers_.push_back(this);
    Changed();
}

Timer::~Timer() {
    if (!form_) return;
    auto& timers = form_->timers_;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    Changed();
}

void Timer::Changed() {
    if (form_) form_->Changed(Aspect::Timers);
}

void Timer::SetInterval(std::uint32_t ms) {
    interval_ = ms;
    Changed();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void Timer::Tick() {
    if (enabled_ && OnTimer && form_) form_->Run(OnTimer);
}

Form::Form(Application& app, std::string name)
    : Control(nullptr, Kind::Form, std::move(name)), app_(app) {
    menu_.form = this;
    SetVisible(false);
}

Form::~Form() {
    for (Timer* timer : timers_)
        timer->form_ = nullptr;
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
    Hide();
    if (app_.MainForm() == this) app_.Quit();
}

void Form::Run(std::function<void()> handler) { app_.Run(handler); }

}  // namespace ui
