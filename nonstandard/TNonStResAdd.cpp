#include "nonstandard/TNonStResAdd.h"

#include "nonstandard/TNonStRes.h"

namespace {

constexpr char kAnyText[] = "Any";

// The labels between the fields are in a larger font (10 points), which makes them 16 pixels
// high.
const ui::Font kLabelFont{"MS Sans Serif", 13};

std::string AnyOr(std::uint8_t value) { return value ? std::to_string(value) : kAnyText; }

}  // namespace

TNonStResAdd::TNonStResAdd(ui::Application& app, const LanguageState& language,
                           NonStdEditState& editing, TNonStRes& list)
    : ui::Form(app, "NonStResAdd"), language_(language), editing_(editing), list_(list) {
    SetPlace({0, 0, 336, 70});
    SetBorder(ui::BorderStyle::Single);
    SetStayOnTop(true);
    SetCaption(language_.Text(TextId::NonStdCaption));
    struct Field {
        ui::Edit& edit;
        int left;
        int width;
        const char* text;
        ui::Label& label;
        int labelWidth;
        const char* caption;
    };
    for (const Field& field : {Field{eWidth, 8, 41, "", Label1, 48, "pixels X"},
                               Field{eHeight, 96, 41, "", Label2, 48, "pixels X"},
                               Field{eBpp, 184, 49, kAnyText, Label3, 40, "BPP X"},
                               Field{eHz, 272, 41, kAnyText, Label4, 24, "Hz"}}) {
        field.edit.SetPlace({field.left, 8, field.width, 21});
        field.edit.SetText(field.text);
        field.label.SetPlace({field.left + field.width - 1, 10, field.labelWidth, 16});
        field.label.SetFont(kLabelFont);
        field.label.SetCaption(field.caption);
    }
    bOK.SetPlace({208, 40, 57, 25});
    bOK.SetCaption(language_.Text(TextId::OkButton));
    bCancel.SetPlace({272, 40, 57, 25});
    bCancel.SetCaption(language_.Text(TextId::CancelButton));
    bOK.OnClick = [this] { bOKClick(); };
    bCancel.OnClick = [this] { bCancelClick(); };
}

void TNonStResAdd::FormCreate() {
    if (editing_.EditMode) {
        const NonStdMode& mode = editing_.EditedMode;
        eWidth.SetText(std::to_string(mode.Width));
        eHeight.SetText(std::to_string(mode.Height));
        eBpp.SetText(AnyOr(mode.Depth));
        eHz.SetText(AnyOr(mode.Rate));
    }
}

void TNonStResAdd::bOKClick() {
    NonStdMode mode;
    bool sizeRead = ReadSizeField(eWidth.Text(), mode.Width);
    sizeRead = ReadSizeField(eHeight.Text(), mode.Height) && sizeRead;
    mode.Depth = ReadAnyField(eBpp.Text());
    mode.Rate = ReadAnyField(eHz.Text());
    // A size that is no number is ignored without a word; the input stays for correcting.
    if (!sizeRead) return;
    if (editing_.EditMode) {
        list_.ReplaceSelected(mode);
    } else {
        list_.AddMode(mode);
    }
    editing_.EditMode = true;
    Hide();
}

void TNonStResAdd::bCancelClick() {
    editing_.EditMode = false;
    Hide();
}
