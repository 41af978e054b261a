#pragma once
// The machine as Cadenzo finds it: the adapter, its modes with the rates in force, the driver's
// options and the colour depths in force, whether the driver's list of refused modes is in
// force, and the card's type. Read once by one function for the window, the commands and the
// watch.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "adapters/AdapterState.h"
#include "modes/ModeTable.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptions.h"
#include "platform/Platform.h"
#include "services/RegistryCursor.h"

struct Machine {
    AdapterState adapter;
    ModeEntries modes;  // sorted, each Selected the rate in force
    std::uint32_t modeEnumFlags = 0;
    DriverOptionState options;
    // The driver's list refuses no colour depth as a whole that the program knows of: all of
    // them are allowed as the window starts.
    std::array<bool, ColourDepths.size()> depths{true, true, true, true};
    // False when the driver offers a rate its list refuses: the list is not in force, most
    // likely because the registry was changed behind the program's back.
    bool listInForce = true;
    // The card's type from the card database; none without the database.
    std::optional<std::string> cardType;
};

// The adapter and its card, the modes and the driver's values. A value that cannot be read
// raises RegistryError, as the window's creation reports it; `machine` then holds what was read
// before it (the adapter and its card, the modes as enumerated).
void ReadMachine(platform::Platform& os, RegistryCursor& cursor, Machine& machine);
Machine ReadMachine(platform::Platform& os, RegistryCursor& cursor);
