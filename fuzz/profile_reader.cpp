// A settings profile as a person, another program or a damaged disk may have left it: read,
// written again and read back, and matched against a mode table with a size twice and an
// entry without rates.

#include <algorithm>

#include "fuzz/FuzzMachine.h"
#include "profile/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Text(data, size);
    profile::ReadResult read = profile::ReadProfile(text);
    const profile::Profile& p = read.Read;
    if (read.Error == profile::ReadError::Newer) fuzz::Require(p.Version > profile::FormatVersion);
    if (read.Error != profile::ReadError::None) {
        // Refused whole: nothing of it is taken.
        fuzz::Require(p.Resolutions.empty() && p.IgnoredLines.empty());
        return 0;
    }
    fuzz::Require(p.Version >= 1 && p.Version <= profile::FormatVersion);
    for (std::size_t line : p.IgnoredLines)
        fuzz::Require(line >= 2);  // the first line of a profile is its header

    // What was taken is written as plain lines that read back the same.
    std::string written = profile::WriteProfile(p);
    for (char c : written)
        fuzz::Require(c == '\r' || c == '\n' || (c >= ' ' && c <= '~'));
    profile::ReadResult again = profile::ReadProfile(written);
    fuzz::Require(again.Error == profile::ReadError::None && again.Read.IgnoredLines.empty());
    fuzz::Require(again.Read.Resolutions == p.Resolutions);
    fuzz::Require(again.Read.Settings == p.Settings && again.Read.Machine == p.Machine);

    const ModeEntries table{{480, 640, {60, 75}, 60},
                            {768, 1024, {43, 60, 85}, 60},
                            {768, 1024, {60}, 60},
                            {1024, 1280, {}, NoRateLeft}};
    profile::SwitchSettings current;
    current.Switches[0] = true;
    profile::ProfileMatch match = profile::MatchProfile(p, table, current);
    // Each line is matched to one entry of its size, or skipped; a rate taken is one offered.
    fuzz::Require(match.Rates.size() + match.Skipped.size() == p.Resolutions.size());
    fuzz::Require(match.Unoffered.size() <= match.Rates.size());
    std::vector<bool> taken(table.size(), false);
    for (const profile::ProfileMatch::Change& change : match.Rates) {
        fuzz::Require(change.Entry < table.size() && !taken[change.Entry]);
        taken[change.Entry] = true;
        const std::vector<std::uint8_t>& rates = table[change.Entry].Rates;
        fuzz::Require(change.Rate == table[change.Entry].Selected ||
                      std::find(rates.begin(), rates.end(), change.Rate) != rates.end());
    }
    return 0;
}
