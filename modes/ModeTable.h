#pragma once
// The mode table: one entry per resolution with every refresh rate known for it, built at
// start-up from the system's mode enumeration and the driver's list of disabled modes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Display.h"

// `Selected` holding this means every rate of the entry is disabled.
constexpr std::uint8_t NoRateLeft = 255;
// A rate is held in one byte and 255 is taken, so rates above this one are not kept.
constexpr std::uint32_t HighestRate = 254;
// The enumeration stops after this mode number.
constexpr std::uint32_t LastModeNumber = 65535;

struct ModeEntry {
    std::uint16_t Height = 0;
    std::uint16_t Width = 0;
    std::vector<std::uint8_t> Rates;  // no rate twice; ascending once the table is sorted
    std::uint8_t Selected = 0;        // the rate in force, or the one the user wants
};

// The type of the program's mode table (ProgramState::ModeTable): its resolutions in order.
using ModeEntries = std::vector<ModeEntry>;

// One mode of a driver list; 0 in a field stands for any value.
struct RestrictionRecord {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint16_t Depth = 0;
    std::uint16_t Rate = 0;
};

// Empties the table and fills it from the system's enumeration: only the first run of
// non-decreasing widths counts, each rate of a resolution once, in the order reported.
void EnumerateModes(platform::Display& display, const std::string& deviceName, std::uint32_t flags,
                    ModeEntries& table);
// Adds the driver's disabled rates (and sizes the system does not report). True when a
// disabled rate was already in the table: the driver's list is not in force for it.
bool MergeRestrictions(ModeEntries& table, const std::vector<RestrictionRecord>& records);
// Entries by width, then height, keeping the order of equal sizes; rates ascending.
void SortModeTable(ModeEntries& table);
// The rate in force of every entry: the lowest of its rates (ascending) that no record lists
// for its size, whatever the records' order; NoRateLeft when all are listed.
void DeriveSelected(ModeEntries& table, const std::vector<RestrictionRecord>& records);
