#include "app/TForm1Language.h"

#include "app/TForm1.h"
#include "app/TForm1Layout.h"
#include "app/TForm1Menu.h"

namespace {

void SetCaption(ui::Control& control, const layout::Words& words, const LanguageState& language) {
    if (words.IsLanguageText()) control.SetCaption(language.Text(words.text));
}

void SetHint(ui::Control& control, const layout::Words& words, const LanguageState& language) {
    if (words.IsLanguageText()) control.SetHint(language.Text(words.text));
}

}  // namespace

void ApplyLanguage(TForm1& form, const LanguageState& language) {
    for (const layout::GroupText& group : layout::Groups)
        SetCaption(form.Named(group.name), group.caption, language);
    for (const layout::ButtonText& button : layout::Buttons)
        SetCaption(form.Named(button.name), button.caption, language);
    for (const layout::InfoRowText& row : layout::AdapterInfoRows) {
        SetCaption(form.Named(row.captionName), row.caption, language);
        SetHint(form.Named(row.captionName), row.hint, language);
    }
    SetCaption(form.cbAnisoD3D, layout::AnisoBox.caption, language);
    for (const layout::CheckBoxText& box : layout::SwitchBoxes)
        SetCaption(form.Named(box.name), box.caption, language);
    for (const layout::CheckBoxText& box : layout::TabBoxes) {
        SetCaption(form.Named(box.name), box.caption, language);
        SetHint(form.Named(box.name), box.hint, language);
    }
    // The menu's entries in the order the layout lists them, its unused places left out.
    const auto& menu = form.Menu().Items();
    for (std::size_t g = 0; g < layout::Menu.size(); ++g) {
        const layout::MenuGroup& group = layout::Menu[g];
        menu[g]->SetCaption(language.Text(group.caption));
        std::size_t item = 0;
        for (const layout::MenuEntry& entry : group.entries) {
            if (entry.name) menu[g]->Items()[item++]->SetCaption(language.Text(entry.caption));
        }
    }
}
