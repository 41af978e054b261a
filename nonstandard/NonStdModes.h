#pragma once
// The driver's list of non-standard display modes: four REG_BINARY values in the driver key,
// each a run of 8-byte BCD mode records (width, height, colour depth, rate; 0 means any).
// The program keeps one list for the whole run, merged from all four values.

#include <cstdint>
#include <string>
#include <vector>

#include "services/RegistryCursor.h"

// One mode. In memory the rate comes before the colour depth; in the registry it is the other
// way round.
struct NonStdMode {
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::uint8_t Rate = 0;   // 0: any
    std::uint8_t Depth = 0;  // bits per pixel, 0: any
    bool operator==(const NonStdMode& o) const {
        return Width == o.Width && Height == o.Height && Rate == o.Rate && Depth == o.Depth;
    }
};

// In order of first appearance: the registry's order, then what the user added.
using NonStdModeList = std::vector<NonStdMode>;

// Whether the add/edit window adds an entry or replaces the selected one, and the entry it
// shows for editing; both live for the whole run, shared by every window that edits the list.
struct NonStdEditState {
    bool EditMode = false;
    NonStdMode EditedMode;
};

// Reads value `name` of the driver key and appends each of its entries that is not listed yet.
// Entries with width or height 0 are skipped; the list ends at an entry starting with 0xFF,
// and a trailing part of an entry is dropped. A value of a text or number type, or longer
// than 256 entries, raises RegistryError.
void ReadNonStdModes(RegistryCursor& cursor, const std::string& driverKey, const std::string& name,
                     NonStdModeList& modes);

// Reads the four values in order. An empty `driverKey` (no adapter) or a key that does not
// open raises RegistryError: never a value of another key. A failing value stops the reading;
// what was merged before stays.
void LoadNonStdModes(RegistryCursor& cursor, const std::string& driverKey, NonStdModeList& modes);

// Why the list cannot be saved as it is (a value holds at most 256 entries, a field at most
// four decimal digits), as a message for the user; empty when it can.
std::string NonStdModesSaveProblem(const NonStdModeList& modes);

// Writes every entry to "DALNonStandardModesBCD" and empties the other three values; sets
// `changed` once the first value is written. The list must have no save problem. No driver key
// or a refused write raises RegistryError, and nothing after it is written.
void SaveNonStdModes(RegistryCursor& cursor, const std::string& driverKey,
                     const NonStdModeList& modes, bool& changed);

// The line of a mode in the list window: "  800 x   600 x Any BPP x Any Refresh".
std::string FormatNonStdMode(const NonStdMode& mode);

// A width or height typed by the user: the whole text one integer, decimal or hexadecimal
// ("$", "0x" or "x"), after blanks and a sign; within 32 bits; taken modulo 65536. False for
// anything else and for 0.
bool ReadSizeField(const std::string& text, std::uint16_t& value);

// A colour depth or rate typed by the user: 0 (any) when empty or saying "any" in any case,
// else the number its text starts with (0 when none), modulo 256.
std::uint8_t ReadAnyField(const std::string& text);
