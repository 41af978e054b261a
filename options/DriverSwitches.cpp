#include "options/DriverSwitches.h"

#include "adapters/AtiLocations.h"
#include "services/RegistryValues.h"

namespace {

constexpr char kCreateValueCaption[] = "?";

}  // namespace

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

void DriverSwitches::ReadDriverSwitches(platform::Registry& registry, const AdapterState& adapter) {
    std::string degree;
    ReadRegString(registry, adapter.DdhalKey, AnisoDegreeValue, degree);
    if (!degree.empty()) {
        cbAnisoD3D_.SetChecked(true);
        cbAnisoDegree_.SetEnabled(true);
        // A text another tool stored with more than one terminator: the box shows and keeps
        // what comes before the first.
        cbAnisoDegree_.SetText(degree.substr(0, degree.find('\0')));
    }

    // Setting a box runs its click handler; no question is asked, as the absent flags are set
    // only once the window is complete.
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        std::uint16_t value = SwitchValueAbsent;
        ReadRegWord(registry, adapter.DriverKey, DriverSwitchValues[i], value);
        if (value == SwitchFeatureEnabled) switches_[i]->SetState(ui::CheckState::Checked);
        if (value == SwitchFeatureDisabled) switches_[i]->SetState(ui::CheckState::Unchecked);
    }
}

void DriverSwitches::ReadDriverTabs(platform::Registry& registry) {
    for (std::size_t i = 0; i < TabCount; ++i) {
        std::uint16_t value = TabHidden;
        for (const char* key : ati::DesktopKeys)
            ReadRegWord(registry, key, DriverTabValues[i], value);
        if (value == TabShown) tabs_[i]->SetChecked(true);
    }
}

void DriverSwitches::RecordSwitchSnapshot() {
    for (std::size_t i = 0; i < SwitchCount; ++i)
        SwitchAbsent[i] = switches_[i]->State() == ui::CheckState::Grayed;
    snapshot_ = Current();
}

DriverSwitches::State DriverSwitches::Current() const {
    State state;
    state.anisoD3D = cbAnisoD3D_.Checked();
    state.anisoDegree = cbAnisoDegree_.Text();
    for (std::size_t i = 0; i < SwitchCount; ++i)
        state.switches[i] = switches_[i]->Checked();
    for (std::size_t i = 0; i < TabCount; ++i)
        state.tabs[i] = tabs_[i]->Checked();
    return state;
}

bool DriverSwitches::SwitchesChanged() const {
    State now = Current();
    // Grayed counts as not checked: a switch taken from grayed to unchecked is no change.
    return now.anisoD3D != snapshot_.anisoD3D || now.switches != snapshot_.switches ||
           now.tabs != snapshot_.tabs || (now.anisoD3D && now.anisoDegree != snapshot_.anisoDegree);
}

void DriverSwitches::cbAnisoD3DClick() { cbAnisoDegree_.SetEnabled(cbAnisoD3D_.Checked()); }

void DriverSwitches::SwitchClick(std::size_t index) {
    if (!SwitchAbsent[index]) return;
    SwitchAbsent[index] = false;
    if (platform::AskYesNo(boxes_, language_.Text(TextId::CreateValueQuestion),
                           kCreateValueCaption))
        return;
    // Graying the box runs this handler again; the flag is still clear then, so it asks nothing.
    switches_[index]->SetState(ui::CheckState::Grayed);
    SwitchAbsent[index] = true;
}

void DriverSwitches::WriteDriverSwitches(RegistryCursor& cursor, platform::Registry& registry,
                                         const AdapterState& adapter) {
    // The ddhal key is created whatever the boxes say.
    bool onDdhal = cursor.OpenKey(FromRoot(adapter.DdhalKey), true);
    if (cbAnisoD3D_.Checked()) {
        WriteRegString(registry, adapter.DdhalKey, AnisoDegreeValue, cbAnisoDegree_.Text());
    } else if (onDdhal) {
        // Had the ddhal key not opened, the cursor would still be on some other key.
        cursor.DeleteValue(AnisoDegreeValue);
    }

    for (std::size_t i = 0; i < SwitchCount; ++i) {
        // A grayed box leaves the value missing, or keeps the number another tool put there.
        ui::CheckState state = switches_[i]->State();
        if (state == ui::CheckState::Grayed) continue;
        WriteRegDword(
            registry, adapter.DriverKey, DriverSwitchValues[i],
            state == ui::CheckState::Checked ? SwitchFeatureEnabled : SwitchFeatureDisabled);
    }
}

void DriverSwitches::WriteDriverTabs(platform::Registry& registry) {
    for (std::size_t i = 0; i < TabCount; ++i) {
        std::uint16_t value = tabs_[i]->Checked() ? TabShown : TabHidden;
        // A desktop key that does not exist does not open for the write and is skipped.
        for (const char* key : ati::DesktopKeys)
            WriteRegDword(registry, key, DriverTabValues[i], value);
    }
}
