#pragma once
// What the user chose: a rate per resolution, the colour depths, whether rates above the chosen
// ones are refused too, and the driver's options. The main window builds it from its controls,
// /APPLY from a profile, the watch's Apply again from the kept record; ApplyChoice applies it.

#include <array>

#include "modes/ChosenRates.h"
#include "modes/ModeTable.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptions.h"

struct Choice {
    // The machine's modes, each Selected the rate chosen: as the grid shows it (a rate typed in
    // is taken as typed), or as MatchChoice gives it for a profile or a kept record.
    ModeEntries rates;
    std::array<bool, ColourDepths.size()> depths{true, true, true, true};
    bool refuseHigher = false;  // rates above the chosen one are refused too
    DriverOptionState options;
};
