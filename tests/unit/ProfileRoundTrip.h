#pragma once
// Every grid a test builds, carried through a settings profile: written, read back and matched
// against the same table, whose rates in force were all moved meanwhile. Each entry gets its rate
// back, or, where its rate is none the entry offers (typed, or 255), keeps the rate in force and
// is listed.

#include <gtest/gtest.h>

#include <algorithm>

#include "profile/Profile.h"

namespace profiles {

inline void ExpectRoundTrip(const ModeEntries& table) {
    SCOPED_TRACE("the grid through a settings profile");
    profile::SwitchSettings settings;
    settings.Switches[2] = false;
    settings.Switches[6] = true;
    settings.AnisoD3D = true;
    settings.AnisoDegree = "128";
    const profile::MachineNames machine{"1002", "4E44", "0002", "1002", "00", "Cadenzo CRT"};
    profile::Profile written = profile::BuildProfile(table, settings, machine);
    std::string text = profile::WriteProfile(written);
    profile::ReadResult read = profile::ReadProfile(text);
    ASSERT_EQ(profile::ReadError::None, read.Error);
    EXPECT_TRUE(read.Read.IgnoredLines.empty());
    EXPECT_TRUE(written.Resolutions == read.Read.Resolutions);
    EXPECT_TRUE(settings == read.Read.Settings);
    EXPECT_TRUE(machine == read.Read.Machine);
    EXPECT_EQ(text, profile::WriteProfile(read.Read));

    ModeEntries inForce = table;
    for (ModeEntry& entry : inForce)
        ++entry.Selected;
    profile::ProfileMatch match = profile::MatchProfile(read.Read, inForce, settings);
    EXPECT_TRUE(match.Skipped.empty());
    EXPECT_TRUE(match.SwitchesMissingHere.empty());
    ASSERT_EQ(table.size(), match.Rates.size());
    std::size_t unoffered = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::vector<std::uint8_t>& rates = table[i].Rates;
        // Every rate refused, and no rate where the size has none, are choices too.
        std::uint8_t selected = table[i].Selected;
        bool offered = std::find(rates.begin(), rates.end(), selected) != rates.end() ||
                       (selected == NoRateLeft && !rates.empty()) ||
                       (selected == 0 && rates.empty());
        unoffered += !offered;
        EXPECT_EQ(i, match.Rates[i].Entry);
        EXPECT_EQ(offered ? table[i].Selected : inForce[i].Selected, match.Rates[i].Rate) << i;
    }
    EXPECT_EQ(unoffered, match.Unoffered.size());
}

}  // namespace profiles
