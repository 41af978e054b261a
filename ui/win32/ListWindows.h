#pragma once
// The controls that show a list of texts: list boxes and combo boxes (a list with an edit
// field). The two window classes take the same requests under different message numbers.

#include "ui/win32/ControlWindow.h"

namespace ui {

class ItemsWindow : public ControlWindow {
protected:
    struct Messages {
        UINT count, textLength, text, add, reset, setSelection, selection;
    };
    ItemsWindow(ItemsControl& control, FormWindow& owner, const WindowClass& windowClass, int id,
                Messages messages)
        : ControlWindow(control, owner, windowClass, id), messages_(messages) {}
    platform::WideString InitialText() const override { return {}; }
    std::optional<int> ItemIndexInWindow() const override { return Selection(); }

    // The control whose items the window shows.
    const ItemsControl& Source() const { return *static_cast<ItemsControl*>(GetControl()); }
    platform::WideString ShownText() const override;
    // Whether the list was filled anew rather than appended to.
    bool ApplyItems();
    void SelectStoredIndex();
    platform::WideString ItemText(size_t index) const;
    int Selection() const;

private:
    Messages messages_;
};

class ListBoxWindow final : public ItemsWindow {
public:
    ListBoxWindow(ListBox& list, FormWindow& owner, int id);
    void Notify(int code) override;

private:
    void Apply(Aspect aspect) override;
    void Fill() override;
};

class ComboBoxWindow final : public ItemsWindow {
public:
    ComboBoxWindow(ComboBox& combo, FormWindow& owner, int id);
    void Notify(int code) override;

private:
    const ComboBox& Combo() const { return *static_cast<ComboBox*>(GetControl()); }
    std::optional<std::string> TextInWindow() const override;
    void Apply(Aspect aspect) override;
    void Fill() override;
    platform::WideString ShownText() const override;
    void Move() override;
    void FontChanged() override { FitField(); }
    void FitField();
};

}  // namespace ui
