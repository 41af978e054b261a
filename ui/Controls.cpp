#include "ui/Controls.h"

namespace ui {

void Label::SetAlignment(Alignment alignment) {
    alignment_ = alignment;
    Changed(Aspect::Caption);
}

void Label::SetTextColor(Rgb color) {
    textColor_ = color;
    Changed(Aspect::Caption);
}

void Label::Click() {
    if (Enabled()) Fire(OnClick);
}

void Image::SetIcon(int resourceId, int size) {
    iconId_ = resourceId;
    iconSize_ = size;
    Changed(Aspect::Caption);
}

void Button::Click() {
    if (Enabled()) Fire(OnClick);
}

void CheckBox::SetState(CheckState state) {
    if (state_ == state) return;
    state_ = state;
    Changed(Aspect::Check);
    Fire(OnClick);
}

void CheckBox::UserClick() {
    if (!Enabled()) return;
    SetState(state_ == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked);
}

void ItemsControl::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Changed(Aspect::Items);
}

void ItemsControl::ClearItems() { SetItems({}); }

int ItemsControl::ItemIndex() const {
    if (Peer* peer = GetPeer()) {
        if (auto picked = peer->ReadItemIndex()) return *picked;
    }
    return itemIndex_;
}

void ItemsControl::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    Changed(Aspect::ItemIndex);
}

void ItemsControl::UserPicked(int index) {
    itemIndex_ = index;
    Fire(OnClick);
}

void ListBox::UserDoubleClicked() { Fire(OnDblClick); }

void ComboBox::Clear() {
    ClearItems();
    SetText("");
}

}  // namespace ui
