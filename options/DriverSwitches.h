#pragma once
// The main window's driver options: the anisotropic-filtering override, the eight driver
// switches and the four driver tabs. Read from the registry while the window is created,
// written back on OK, and compared with their state at creation for the restart decision.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "options/DriverOptionValues.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "services/RegistryCursor.h"
#include "ui/Controls.h"

class DriverSwitches {
public:
    static constexpr std::size_t SwitchCount = DriverSwitchValues.size();
    static constexpr std::size_t TabCount = DriverTabValues.size();
    using Boxes = std::vector<std::unique_ptr<ui::CheckBox>>;

    // Takes over the click handlers of cbAnisoD3D and of the switches (cbBlockWrite ...
    // cbDMACopy, in the order of DriverSwitchValues); the tabs are in the order of
    // DriverTabValues. The controls, the message boxes and the language must outlive this.
    DriverSwitches(ui::CheckBox& cbAnisoD3D, ui::ComboBox& cbAnisoDegree, const Boxes& switches,
                   const Boxes& tabs, platform::MessageBoxes& boxes, const LanguageState& language);
    DriverSwitches(const DriverSwitches&) = delete;
    DriverSwitches& operator=(const DriverSwitches&) = delete;

    // Sets the override and the switches from the driver's values. A switch whose value is
    // missing or holds a number other than 0 and 1 stays grayed.
    void ReadDriverSwitches(platform::Registry& registry, const AdapterState& adapter);
    // Checks the tab boxes whose value is 1 in the last desktop key that holds it.
    void ReadDriverTabs(platform::Registry& registry);
    // The end of the window's creation: marks the switches still grayed as absent and records
    // what SwitchesChanged compares with.
    void RecordSwitchSnapshot();

    // Creates the ddhal key, stores or deletes the override and stores every switch that is
    // not grayed.
    void WriteDriverSwitches(RegistryCursor& cursor, platform::Registry& registry,
                             const AdapterState& adapter);
    // Stores every tab box into each desktop key that exists.
    void WriteDriverTabs(platform::Registry& registry);

    // Whether a box is checked that was not (or the reverse) since the snapshot, or the degree
    // text changed while the override is on.
    bool SwitchesChanged() const;

    void cbAnisoD3DClick();
    // The click of the switch at `index`: toggles, or first asks to create a missing value.
    void SwitchClick(std::size_t index);

    // Per switch: its value was missing at creation and the user has not agreed to create it.
    std::array<bool, SwitchCount> SwitchAbsent{};

private:
    struct State {
        bool anisoD3D = false;
        std::string anisoDegree;
        std::array<bool, SwitchCount> switches{};
        std::array<bool, TabCount> tabs{};
    };
    State Current() const;

    ui::CheckBox& cbAnisoD3D_;
    ui::ComboBox& cbAnisoDegree_;
    std::array<ui::CheckBox*, SwitchCount> switches_{};
    std::array<ui::CheckBox*, TabCount> tabs_{};
    platform::MessageBoxes& boxes_;
    const LanguageState& language_;
    State snapshot_;
};
