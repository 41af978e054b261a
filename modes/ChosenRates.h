#pragma once
// Rates chosen per resolution, as a profile or a kept record names them, and the one rule by
// which they meet a machine's modes: for the main window's Import, /APPLY and Apply again alike.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "modes/ModeTable.h"

// A rate a profile or a kept record names for a resolution.
struct ChosenRate {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    // The lowest rate the resolution offers: the driver refuses none there.
    bool Lowest = false;
    // When not Lowest: a rate, NoRateLeft to refuse them all, 0 for a size that has none.
    std::uint8_t Rate = 0;
};

// The one rule by which such rates meet a machine's modes (whose Selected are the rates in
// force): a size named twice takes its entries in table order; a resolution the machine lacks is
// skipped; a rate the resolution does not offer leaves it at the rate in force. Both are
// reported.
struct ChoiceMatch {
    ModeEntries table;  // the machine's modes with the chosen rates as Selected
    // The entry each rate that was not skipped met, in the rates' order.
    std::vector<std::size_t> entries;
    std::vector<ChosenRate> skipped;
    std::vector<ChosenRate> unoffered;
};
ChoiceMatch MatchChoice(const std::vector<ChosenRate>& rates, const ModeEntries& inForce);

// The rates of a kept record (rate 0 for a size without rates).
std::vector<ChosenRate> ChosenRates(const std::vector<RestrictionRecord>& recorded);

// "1024x768", and "1024x768: 100 Hz" ("1024x768: default" for the lowest).
std::string SizeText(const ChosenRate& rate);
std::string RateText(const ChosenRate& rate);
