#include "modes/ChosenRates.h"

#include <algorithm>

#include "services/Format.h"

std::vector<ChosenRate> ChosenRates(const std::vector<RestrictionRecord>& recorded) {
    std::vector<ChosenRate> rates;
    for (const RestrictionRecord& rate : recorded)
        rates.push_back({rate.Width, rate.Height, false, static_cast<std::uint8_t>(rate.Rate)});
    return rates;
}

ChoiceMatch MatchChoice(const std::vector<ChosenRate>& rates, const ModeEntries& inForce) {
    ChoiceMatch match;
    match.table = inForce;
    std::vector<bool> taken(inForce.size(), false);
    for (const ChosenRate& chosen : rates) {
        std::size_t i = 0;
        while (i < inForce.size() &&
               (taken[i] || inForce[i].Width != chosen.Width || inForce[i].Height != chosen.Height))
            ++i;
        if (i == inForce.size()) {
            match.skipped.push_back(chosen);
            continue;
        }
        taken[i] = true;
        match.entries.push_back(i);
        ModeEntry& entry = match.table[i];
        const std::vector<std::uint8_t>& offered = entry.Rates;
        bool found = false;
        if (chosen.Lowest) {
            found = !offered.empty();
            if (found) entry.Selected = offered.front();
        } else {
            // Every rate refused, and no rate where the size has none, are choices too.
            found = (chosen.Rate == NoRateLeft && !offered.empty()) ||
                    (chosen.Rate == 0 && offered.empty()) ||
                    std::find(offered.begin(), offered.end(), chosen.Rate) != offered.end();
            if (found) entry.Selected = chosen.Rate;
        }
        if (!found) match.unoffered.push_back(chosen);
    }
    return match;
}

std::string SizeText(const ChosenRate& rate) { return ::SizeText(rate.Width, rate.Height); }

std::string RateText(const ChosenRate& rate) {
    return SizeText(rate) + ": " +
           (rate.Lowest ? std::string("default") : std::to_string(rate.Rate) + " Hz");
}
