#include "ui/Control.h"

#include <algorithm>

#include "ui/Form.h"

namespace ui {
namespace {

// At namespace scope, not inside GetFont: a static there would need a guard made for threads,
// which brings the runtime's thread library into the exe.
const Font DefaultFont;

}  // namespace

Control::Control(Control* parent, Kind kind, std::string name)
    : parent_(parent), kind_(kind), name_(std::move(name)) {
    if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
    if (peer_) peer_->ControlDestroyed();
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

Form* Control::OwnerForm() {
    Control* c = this;
    while (c->parent_)
        c = c->parent_;
    return c->kind_ == Kind::Form ? static_cast<Form*>(c) : nullptr;
}

void Control::Changed(Aspect aspect) {
    if (peer_) peer_->Update(aspect);
}

void Control::Fire(const std::function<void()>& handler) {
    if (!handler) return;
    if (Form* form = OwnerForm()) {
        form->Run(handler);
    } else {
        // A copy: the handler may destroy this control (and with it the original) while it runs.
        std::function<void()> run = handler;
        run();
    }
}

void Control::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed(Aspect::Caption);
}

void Control::SetHint(const std::string& hint) {
    if (hint_ == hint) return;
    hint_ = hint;
    Changed(Aspect::Hint);
}

void Control::SetPlace(const Rect& place) {
    if (place_ == place) return;
    place_ = place;
    Changed(Aspect::Place);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed(Aspect::Visible);
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed(Aspect::Enabled);
}

const Font& Control::GetFont() const {
    if (font_) return *font_;
    return parent_ ? parent_->GetFont() : DefaultFont;
}

void Control::SetFont(const Font& font) {
    font_ = std::make_unique<Font>(font);
    Changed(Aspect::Font);
}

bool Control::Showing() const {
    const Control* root = this;
    while (root->parent_)
        root = root->parent_;
    // The form's own state too, which ShowingInForm leaves to the form.
    return ShowingInForm() && root->visible_;
}

bool Control::ShowingInForm() const {
    for (const Control* c = this; c && c->kind_ != Kind::Form; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

Rect Control::PlaceInForm() const {
    Rect r = place_;
    if (kind_ == Kind::Form) return Rect{0, 0, r.width, r.height};
    for (const Control* c = parent_; c && c->kind_ != Kind::Form; c = c->parent_) {
        r.left += c->place_.left;
        r.top += c->place_.top;
    }
    return r;
}

}  // namespace ui
