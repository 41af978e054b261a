#pragma once
// What the user chose: a rate per resolution, the colour depths, whether rates above the chosen
// ones are refused too, and the driver's options. The main window builds it from its controls,
// /APPLY from a profile, the watch's Apply again from the kept record; ApplyChoice applies it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modes/ModeTable.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptions.h"

struct ChosenRate {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    // The lowest rate the resolution offers: the driver refuses none there.
    bool Lowest = false;
    // When not Lowest: a rate, NoRateLeft to refuse them all, 0 for a size that has none.
    std::uint8_t Rate = 0;
};

struct Choice {
    // The machine's modes, each Selected the rate chosen: as the grid shows it (a rate typed in
    // is taken as typed), or as MatchChoice gives it for a profile or a kept record.
    ModeEntries rates;
    std::array<bool, ColourDepths.size()> depths{true, true, true, true};
    bool refuseHigher = false;  // rates above the chosen one are refused too
    DriverOptionState options;
};

// A rate per resolution as a profile or a kept record names it: a size may come twice, its
// entries taken in table order.
// The one rule by which these meet a machine's modes (whose Selected are the rates in
// force): a resolution the machine lacks is skipped; a rate the resolution does not offer leaves
// it at the rate in force. Both are reported.
struct ChoiceMatch {
    ModeEntries table;  // the machine's modes with the chosen rates as Selected
    std::vector<ChosenRate> skipped;
    std::vector<ChosenRate> unoffered;
};
ChoiceMatch MatchChoice(const std::vector<ChosenRate>& rates, const ModeEntries& inForce);

// The rates of a kept record (rate 0 for a size without rates).
std::vector<ChosenRate> ChosenRates(const std::vector<RestrictionRecord>& recorded);

// "1024x768", and "1024x768: 100 Hz" ("1024x768: default" for the lowest).
std::string SizeText(const ChosenRate& rate);
std::string RateText(const ChosenRate& rate);
