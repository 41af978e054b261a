#pragma once
// The driver's options as one value: the eight switches, the anisotropic-filtering override and
// the four property tabs, as the driver has them or as the user chose them. Read from the
// registry and written to it here; the main window only shows a value and gives its choice.

#include <array>
#include <cstdint>
#include <string>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "options/DriverOptionValues.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "services/RegistryCursor.h"

// A switch as read or chosen. Left as it is: its value is missing or holds a number other than
// 0 and 1, and nothing is written for it.
enum class SwitchSetting : std::uint8_t { LeftAsItIs, FeatureEnabled, FeatureDisabled };

struct DriverOptionState {
    std::array<SwitchSetting, DriverSwitchCount> switches{};  // in DriverSwitchTable's order
    bool anisoD3D = false;
    // The degree the override forces; read, empty when the driver forces none.
    std::string anisoDegree;
    std::array<bool, DriverTabValues.size()> tabs{};  // in DriverTabValues' order

    bool operator==(const DriverOptionState& o) const {
        return switches == o.switches && anisoD3D == o.anisoD3D && anisoDegree == o.anisoDegree &&
               tabs == o.tabs;
    }
    bool operator!=(const DriverOptionState& o) const { return !(*this == o); }
};

// The switches and the override from the adapter's driver key and its ddhal subkey; each tab
// from the last desktop key that holds its value.
DriverOptionState ReadDriverOptions(platform::Registry& registry, const AdapterState& adapter);

// Creates the ddhal key, stores the override's degree or deletes it, stores every switch that
// is not left as it is, and each tab into every desktop key that exists.
void WriteDriverOptions(RegistryCursor& cursor, platform::Registry& registry,
                        const AdapterState& adapter, const DriverOptionState& options);

// Whether `after` differs from `before` as far as a restart goes: an override turned on or off,
// its degree while it is on, a switch's feature enabled or not (left as it is counts as not
// enabled), a tab shown or hidden.
bool OptionsChanged(const DriverOptionState& before, const DriverOptionState& after);

// The caption of the question whether to create a switch's missing value.
inline constexpr char CreateValueCaption[] = "?";

// Sets a switch as a click on its box does: one whose value the driver lacks (left as it is) is
// set only when the user agrees to create the value.
void ChooseSwitch(DriverOptionState& options, std::size_t index, bool enabled,
                  platform::MessageBoxes& boxes, const LanguageState& language);
