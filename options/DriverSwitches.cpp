#include "options/DriverSwitches.h"

DriverSwitches::DriverSwitches(ui::CheckBox& cbAnisoD3D, ui::ComboBox& cbAnisoDegree,
                               const Boxes& switches, const Boxes& tabs,
                               platform::MessageBoxes& boxes, const LanguageState& language)
    : cbAnisoD3D_(cbAnisoD3D), cbAnisoDegree_(cbAnisoDegree), boxes_(boxes), language_(language) {
    cbAnisoD3D_.OnClick = [this] { cbAnisoD3DClick(); };
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        switches_[i] = switches.at(i).get();
        switches_[i]->OnClick = [this, i] { SwitchClick(i); };
    }
    for (std::size_t i = 0; i < TabCount; ++i)
        tabs_[i] = tabs.at(i).get();
}

void DriverSwitches::Show(const DriverOptionState& options) {
    if (options.anisoD3D) {
        cbAnisoD3D_.SetChecked(true);
        cbAnisoDegree_.SetEnabled(true);
        cbAnisoDegree_.SetText(options.anisoDegree);
    }
    // Setting a box runs its click handler; no question is asked, as the absent flags are set
    // only once the window is complete.
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        SwitchSetting setting = options.switches[i];
        if (setting == SwitchSetting::FeatureEnabled)
            switches_[i]->SetState(ui::CheckState::Checked);
        if (setting == SwitchSetting::FeatureDisabled)
            switches_[i]->SetState(ui::CheckState::Unchecked);
    }
    for (std::size_t i = 0; i < TabCount; ++i) {
        if (options.tabs[i]) tabs_[i]->SetChecked(true);
    }
}

DriverOptionState DriverSwitches::Chosen() const {
    DriverOptionState options;
    options.anisoD3D = cbAnisoD3D_.Checked();
    options.anisoDegree = cbAnisoDegree_.Text();
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        ui::CheckState state = switches_[i]->State();
        if (state == ui::CheckState::Checked) options.switches[i] = SwitchSetting::FeatureEnabled;
        if (state == ui::CheckState::Unchecked)
            options.switches[i] = SwitchSetting::FeatureDisabled;
    }
    for (std::size_t i = 0; i < TabCount; ++i)
        options.tabs[i] = tabs_[i]->Checked();
    return options;
}

void DriverSwitches::RecordSwitchSnapshot() {
    for (std::size_t i = 0; i < SwitchCount; ++i)
        SwitchAbsent[i] = switches_[i]->State() == ui::CheckState::Grayed;
    snapshot_ = Chosen();
}

bool DriverSwitches::SwitchesChanged() const { return OptionsChanged(snapshot_, Chosen()); }

void DriverSwitches::cbAnisoD3DClick() { cbAnisoDegree_.SetEnabled(cbAnisoD3D_.Checked()); }

void DriverSwitches::SwitchClick(std::size_t index) {
    if (!SwitchAbsent[index]) return;
    SwitchAbsent[index] = false;
    if (platform::AskYesNo(boxes_, language_.Text(TextId::CreateValueQuestion), CreateValueCaption))
        return;
    // Graying the box runs this handler again; the flag is still clear then, so it asks nothing.
    switches_[index]->SetState(ui::CheckState::Grayed);
    SwitchAbsent[index] = true;
}
