#pragma once
// The ATI driver's values that the program reads or writes, all in the adapter's driver key.

#include <array>
#include <cstddef>

// Mode lists (REG_BINARY, 8-byte BCD mode records back to back).
inline constexpr char RestrictedModesValue[] =
    "DALRestrictedModesBCD";  // the modes the driver refuses
// Further lists of refused modes: the program only ever empties them.
constexpr std::array<const char*, 3> FurtherRestrictedModesValues{
    "DALRestrictedModesBCD1", "DALRestrictedModesBCD2", "DALRestrictedModesBCD3"};
constexpr std::array<const char*, 4> NonStandardModesValues{
    "DALNonStandardModesBCD", "DALNonStandardModesBCD1", "DALNonStandardModesBCD2",
    "DALNonStandardModesBCD3"};

// Rules: REG_DWORD (the minimum resolution may also be REG_BINARY).
inline constexpr char MinResValue[] = "DALOPTION_MinResBCD";
inline constexpr char AddNativeModesRuleValue[] = "DALRULE_ADDNATIVEMODESTOMODETABLE";

// The highest refresh rate the display control panel allows: one plain binary byte (not BCD)
// inside REG_BINARY values whose other bytes are the driver's and are carried through. Each
// of the driver's families keeps it twice, in an Info and a MaxModeInfo value, at these
// offsets; the two are corrected together.
constexpr std::size_t InfoMaxRateOffset = 8;
constexpr std::size_t MaxModeInfoMaxRateOffset = 16;
struct MaxRatePair {
    const char* info;
    const char* maxModeInfo;
};
constexpr std::array<MaxRatePair, 2> MaxRatePairs{{
    {"DALRage128 CRT GDO_Info", "DALRage128 CRT GDO_MaxModeInfo"},
    {"DALR6 CRT_Info", "DALR6 CRT_MaxModeInfo"},
}};
