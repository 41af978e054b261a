#pragma once
// The controls the program's windows are built from.

#include <cstdint>

#include "ui/Control.h"

namespace ui {

// LeftWrapped: left-aligned, its words wrapped over as many lines as the label's height holds.
enum class Alignment { Left, Right, Center, LeftWrapped };

// A colour as red, green and blue bytes (0x00BBGGRR, as Windows keeps it).
using Rgb = std::uint32_t;
constexpr Rgb DefaultTextColor = 0xFF000000;  // the system's colour for window text
constexpr Rgb Red = 0x000000FF;
constexpr Rgb Blue = 0x00FF0000;

class Label : public Control {
public:
    Label(Control* parent, std::string name) : Control(parent, Kind::Label, std::move(name)) {}
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);
    Rgb TextColor() const { return textColor_; }
    void SetTextColor(Rgb color);
    // A link shows the hand-point cursor under the mouse.
    bool IsLink() const { return link_; }
    void SetLink(bool link) { link_ = link; }
    // A click on the label: runs OnClick when enabled.
    void Click();
    std::function<void()> OnClick;

private:
    Alignment alignment_ = Alignment::Left;
    Rgb textColor_ = DefaultTextColor;
    bool link_ = false;
};

// A picture: one of the program's icons, drawn at a given size from the top left of its place.
class Image : public Control {
public:
    Image(Control* parent, std::string name) : Control(parent, Kind::Image, std::move(name)) {}
    int IconId() const { return iconId_; }
    int IconSize() const { return iconSize_; }
    void SetIcon(int resourceId, int size);

private:
    int iconId_ = 0;
    int iconSize_ = 0;
};

class GroupBox : public Control {
public:
    GroupBox(Control* parent, std::string name)
        : Control(parent, Kind::GroupBox, std::move(name)) {}
};

class Button : public Control {
public:
    Button(Control* parent, std::string name, Kind kind = Kind::Button)
        : Control(parent, kind, std::move(name)) {}
    // A click, by the mouse, the keyboard or a menu entry: runs OnClick when enabled.
    void Click();
    std::function<void()> OnClick;
};

// A flat button with no focus, drawn with its caption in its own font.
class SpeedButton : public Button {
public:
    SpeedButton(Control* parent, std::string name)
        : Button(parent, std::move(name), Kind::SpeedButton) {}
};

enum class CheckState { Unchecked, Checked, Grayed };

class CheckBox : public Control {
public:
    CheckBox(Control* parent, std::string name)
        : Control(parent, Kind::CheckBox, std::move(name)) {}
    CheckState State() const { return state_; }
    // Setting a new state from code runs OnClick, as a click by the user does.
    void SetState(CheckState state);
    bool Checked() const { return state_ == CheckState::Checked; }
    void SetChecked(bool checked) {
        SetState(checked ? CheckState::Checked : CheckState::Unchecked);
    }
    // The user's click: a grayed or unchecked box becomes checked, a checked one unchecked.
    void UserClick();
    std::function<void()> OnClick;

private:
    CheckState state_ = CheckState::Unchecked;
};

// A list of texts with a selection; the base of list and combo boxes.
class ItemsControl : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    void ClearItems();
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The index as last set or picked, without asking the peer: what a peer shows.
    int StoredItemIndex() const { return itemIndex_; }
    std::function<void()> OnClick;  // the user picked an item

    // The backend reports the user's pick.
    void UserPicked(int index);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class ListBox : public ItemsControl {
public:
    ListBox(Control* parent, std::string name)
        : ItemsControl(parent, Kind::ListBox, std::move(name)) {}
    // The backend reports a double click anywhere in the list, on a line or not.
    void UserDoubleClicked();
    std::function<void()> OnDblClick;
};

// A control with a field the user may type into. The text is kept as the program set it and
// read from the peer, which holds what was typed, when the logic asks.
template <class Base>
class WithText : public Base {
public:
    using Base::Base;
    // What the field holds now, typed text included.
    std::string Text() const {
        if (Peer* peer = this->GetPeer()) {
            if (auto typed = peer->ReadText()) text_ = *typed;
        }
        return text_;
    }
    void SetText(const std::string& text) {
        text_ = text;
        this->Changed(Aspect::Text);
    }
    // The text as last set or read, without asking the peer: what a peer shows.
    const std::string& StoredText() const { return text_; }

private:
    mutable std::string text_;
};

// A drop-down list with an edit field: the text may be picked or typed.
class ComboBox : public WithText<ItemsControl> {
public:
    ComboBox(Control* parent, std::string name)
        : WithText(parent, Kind::ComboBox, std::move(name)) {}
    // Empties the edit field and the list.
    void Clear();
};

class Edit : public WithText<Control> {
public:
    Edit(Control* parent, std::string name) : WithText(parent, Kind::Edit, std::move(name)) {}
};

}  // namespace ui
