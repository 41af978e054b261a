#pragma once
// The main window's driver options: the anisotropic-filtering override, the eight driver
// switches and the four driver tabs. Shows the options read while the window is created, gives
// the options chosen for OK, and compares them with their state at creation for the restart
// decision.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "options/DriverOptionValues.h"
#include "options/DriverOptions.h"
#include "platform/MessageBoxes.h"
#include "ui/Controls.h"

class DriverSwitches {
public:
    static constexpr std::size_t SwitchCount = DriverSwitchCount;
    static constexpr std::size_t TabCount = DriverTabValues.size();
    using Boxes = std::vector<std::unique_ptr<ui::CheckBox>>;

    // Takes over the click handlers of cbAnisoD3D and of the switches (cbBlockWrite ...
    // cbDMACopy, in the order of DriverSwitchTable); the tabs are in the order of
    // DriverTabValues. The controls, the message boxes and the language must outlive this.
    DriverSwitches(ui::CheckBox& cbAnisoD3D, ui::ComboBox& cbAnisoDegree, const Boxes& switches,
                   const Boxes& tabs, platform::MessageBoxes& boxes, const LanguageState& language);
    DriverSwitches(const DriverSwitches&) = delete;
    DriverSwitches& operator=(const DriverSwitches&) = delete;

    // Shows the options the driver has: a switch left as it is stays grayed.
    void Show(const DriverOptionState& options);
    // The end of the window's creation: marks the switches still grayed as absent and records
    // what SwitchesChanged compares with.
    void RecordSwitchSnapshot();
    // The options as the window showed them at the end of its creation.
    const DriverOptionState& InForce() const { return snapshot_; }

    // The options as the boxes choose them: a grayed switch is left as it is.
    DriverOptionState Chosen() const;

    // Whether a box is checked that was not (or the reverse) since the snapshot, or the degree
    // text changed while the override is on.
    bool SwitchesChanged() const;

    void cbAnisoD3DClick();
    // The click of the switch at `index`: toggles, or first asks to create a missing value.
    void SwitchClick(std::size_t index);

    // Per switch: its value was missing at creation and the user has not agreed to create it.
    std::array<bool, SwitchCount> SwitchAbsent{};

private:
    ui::CheckBox& cbAnisoD3D_;
    ui::ComboBox& cbAnisoDegree_;
    std::array<ui::CheckBox*, SwitchCount> switches_{};
    std::array<ui::CheckBox*, TabCount> tabs_{};
    platform::MessageBoxes& boxes_;
    const LanguageState& language_;
    DriverOptionState snapshot_;
};
