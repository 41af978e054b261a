#pragma once
// A settings profile: the rates chosen per resolution, the driver switches and the anisotropy
// override, written as a small INI text ("*.cadenzo") to carry them to another machine, read
// back, and matched against that machine's mode table. Nothing here touches the driver: what
// a match gives is shown in the main window (or applied by the caller) like a choice by hand.
//
//   [Cadenzo]
//   Version=1
//   [Resolutions]
//   640x480=default        the lowest rate the adapter offers: the driver refuses none
//   1024x768=85
//   [Switches]
//   BlockWrite=on          on: the feature is enabled (the box checked)
//   AnisotropicFiltering=on
//   AnisoDegree=16
//   [Adapter]              for information only: an import matches nothing against it
//   VendorID=1002
//   Monitor=Cadenzo CRT
//
// Written in UTF-8 (it is all ASCII) with CR LF line ends; read with any line ends, an
// optional UTF-8 mark, blanks around names and values, names in any case and ";" comments.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modes/ModeTable.h"
#include "options/DriverOptionValues.h"

namespace profile {

// The newest profile this program reads, and the one it writes.
constexpr int FormatVersion = 1;
// The extension of profile files, without its dot.
inline constexpr char FileExtension[] = "cadenzo";
// A file longer than this is no profile (a full table takes a few KB): it is not even read
// whole.
constexpr std::size_t LongestProfile = 1 << 20;

constexpr std::size_t SwitchCount = DriverSwitchCount;

// One resolution's line: its size and either the lowest rate or a rate of its own.
struct RateChoice {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    bool Lowest = false;    // "default"
    std::uint8_t Rate = 0;  // when not Lowest

    bool operator==(const RateChoice& o) const {
        return Width == o.Width && Height == o.Height && Lowest == o.Lowest &&
               (Lowest || Rate == o.Rate);
    }
};

// The driver switches and the anisotropy override: each as a profile or a window holds it, or
// nothing where it has no say (a switch whose value the driver lacks, a line left out).
struct SwitchSettings {
    std::array<std::optional<bool>, SwitchCount> Switches{};  // in DriverSwitchTable's order
    std::optional<bool> AnisoD3D;
    std::optional<std::string> AnisoDegree;  // decimal digits, see IsAnisoDegree

    bool operator==(const SwitchSettings& o) const {
        return Switches == o.Switches && AnisoD3D == o.AnisoD3D && AnisoDegree == o.AnisoDegree;
    }
};

// What identifies the card and the monitor the profile was written on, as the main window
// shows them.
struct MachineNames {
    std::string VendorId, DeviceId, SubsysId, SubsysVendorId, RevisionId;
    std::string Monitor;

    bool operator==(const MachineNames& o) const {
        return VendorId == o.VendorId && DeviceId == o.DeviceId && SubsysId == o.SubsysId &&
               SubsysVendorId == o.SubsysVendorId && RevisionId == o.RevisionId &&
               Monitor == o.Monitor;
    }
};

struct Profile {
    int Version = FormatVersion;
    std::vector<RateChoice> Resolutions;  // in the order of the lines; a size may come twice
    SwitchSettings Settings;
    MachineNames Machine;
    // Lines (from 1) that the reader did not know or that repeat a setting: kept out.
    std::vector<std::size_t> IgnoredLines;
};

// (a) The profile of a mode table (each entry's Selected), switch settings and machine names.
// An entry whose Selected is its lowest rate is written as "default". Names are kept to
// printable ASCII; a degree that is not digits is left out.
Profile BuildProfile(const ModeEntries& table, const SwitchSettings& settings,
                     const MachineNames& machine);
std::string WriteProfile(const Profile& profile);

// (b) A text read as a profile, or why it is none.
enum class ReadError {
    None,
    NotAProfile,  // no "[Cadenzo]" first with a "Version" of 1 or more, or too long
    Newer,        // a version this program does not know yet
};
struct ReadResult {
    ReadError Error = ReadError::None;
    Profile Read;  // with Error None; with Newer only its Version
};
ReadResult ReadProfile(const std::string& text);

// (c) A profile against a mode table whose Selected are the rates in force, and the current
// switch settings, by the rule of modes/ChosenRates.h (MatchChoice).
struct ProfileMatch {
    struct Change {
        std::size_t Entry;  // index into the table
        std::uint8_t Rate;  // its Selected after the import
    };
    std::vector<Change> Rates;  // one per resolution found, in the profile's order
    // Resolutions this table does not have: skipped.
    std::vector<RateChoice> Skipped;
    // Rates their resolution does not offer: that entry keeps its rate in force.
    std::vector<RateChoice> Unoffered;
    // What the profile sets; nothing where it says nothing.
    SwitchSettings Settings;
    // Switches the profile sets that have no value in this driver (indices), which the window
    // asks about as a click on them does.
    std::vector<std::size_t> SwitchesMissingHere;
};
ProfileMatch MatchProfile(const Profile& profile, const ModeEntries& inForce,
                          const SwitchSettings& current);

// "1024x768", and "1024x768: 100 Hz" for a rate of a line.
std::string SizeText(const RateChoice& choice);
std::string RateText(const RateChoice& choice);

// A degree the profile carries: 1 to 5 decimal digits.
bool IsAnisoDegree(const std::string& text);

}  // namespace profile
