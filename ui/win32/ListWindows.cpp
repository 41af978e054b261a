#include "ui/win32/ListWindows.h"

#include "platform/win32/WideText.h"

namespace ui {
namespace {

using platform::ToWide;

// A drop-down list shows this many items before it scrolls.
constexpr int kDropDownRows = 8;

}  // namespace

int ItemsWindow::Selection() const {
    return static_cast<int>(SendMessageW(Handle(), messages_.selection, 0, 0));
}

platform::WideString ItemsWindow::ItemText(size_t index) const {
    LRESULT length = SendMessageW(Handle(), messages_.textLength, index, 0);
    if (length < 0) return {};
    platform::WideString text(length + 1, L'\0');
    LRESULT copied =
        SendMessageW(Handle(), messages_.text, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : copied);
    return text;
}

platform::WideString ItemsWindow::ShownText() const {
    platform::WideString text;
    for (const std::string& item : Source().Items())
        text += ToWide(item);
    return text;
}

// The list follows the items: items added at the end are appended, anything else fills the
// list anew.
bool ItemsWindow::ApplyItems() {
    const auto& items = Source().Items();
    auto shown = static_cast<size_t>(SendMessageW(Handle(), messages_.count, 0, 0));
    bool appended = shown <= items.size();
    for (size_t i = 0; appended && i < shown; ++i)
        appended = ItemText(i) == ToWide(items[i]);
    if (!appended) {
        SendMessageW(Handle(), messages_.reset, 0, 0);
        shown = 0;
    }
    for (size_t i = shown; i < items.size(); ++i) {
        SendMessageW(Handle(), messages_.add, 0,
                     reinterpret_cast<LPARAM>(ToWide(items[i]).c_str()));
    }
    ApplyFont();
    return !appended;
}

void ItemsWindow::SelectStoredIndex() {
    SendMessageW(Handle(), messages_.setSelection, static_cast<WPARAM>(Source().StoredItemIndex()),
                 0);
}

ListBoxWindow::ListBoxWindow(ListBox& list, FormWindow& owner, int id)
    : ItemsWindow(list, owner,
                  {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE},
                  id,
                  {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING, LB_RESETCONTENT,
                   LB_SETCURSEL, LB_GETCURSEL}) {}

void ListBoxWindow::Fill() {
    ApplyItems();
    SelectStoredIndex();
}

void ListBoxWindow::Apply(Aspect aspect) {
    if (aspect == Aspect::Items) ApplyItems();
    if (aspect == Aspect::ItemIndex) SelectStoredIndex();
}

void ListBoxWindow::Notify(int code) {
    auto* list = static_cast<ListBox*>(GetControl());
    if (code == LBN_SELCHANGE) list->UserPicked(Selection());
    if (code == LBN_DBLCLK) list->UserDoubleClicked();
}

ComboBoxWindow::ComboBoxWindow(ComboBox& combo, FormWindow& owner, int id)
    : ItemsWindow(combo, owner,
                  {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0}, id,
                  {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING, CB_RESETCONTENT,
                   CB_SETCURSEL, CB_GETCURSEL}) {}

void ComboBoxWindow::Fill() {
    // Its open list's height and its field's follow from the font it now has.
    Move();
    Apply(Aspect::Items);
    Apply(Aspect::ItemIndex);
    Apply(Aspect::Text);
}

void ComboBoxWindow::Apply(Aspect aspect) {
    switch (aspect) {
        case Aspect::Items: {
            // Emptying the list clears the edit field, whose text stays.
            platform::WideString typed = WindowText();
            if (ApplyItems()) SetWindowTextW(Handle(), typed.c_str());
            break;
        }
        case Aspect::ItemIndex: {
            // Selecting from code leaves the text alone, as the control object does;
            // CB_SETCURSEL would put the item's text (or nothing) in the edit field.
            platform::WideString text = WindowText();
            SelectStoredIndex();
            SetWindowTextW(Handle(), text.c_str());
            break;
        }
        case Aspect::Text:
            ShowText(Combo().StoredText());
            break;
        default:
            break;
    }
}

platform::WideString ComboBoxWindow::ShownText() const {
    return ItemsWindow::ShownText() + ToWide(Combo().StoredText());
}

std::optional<std::string> ComboBoxWindow::TextInWindow() const {
    return ReadBack(Combo().Items(), Combo().StoredText());
}

// A combo box's window reaches down over its open list.
void ComboBoxWindow::Move() {
    Rect r = Combo().PlaceInForm();
    int row = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
    MoveWindow(Handle(), r.left, r.top, r.width, r.height + kDropDownRows * row + 2, TRUE);
    FitField();
}

// A combo box sizes its closed height from its font; the field is stretched or shrunk so that
// the closed box fills its place.
void ComboBoxWindow::FitField() {
    RECT closed;
    GetWindowRect(Handle(), &closed);
    auto field =
        static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int frame = (closed.bottom - closed.top) - field;
    int wanted = Combo().Place().height - frame;
    if (wanted > 0 && wanted != field) {
        SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
}

void ComboBoxWindow::Notify(int code) {
    if (code != CBN_SELCHANGE) return;
    // The edit field takes the picked item's text only after this notification; put it there
    // now so that the handler reads what was picked.
    int index = Selection();
    if (index >= 0) SetWindowTextW(Handle(), ItemText(index).c_str());
    static_cast<ComboBox*>(GetControl())->UserPicked(index);
}

}  // namespace ui
