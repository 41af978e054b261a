#pragma once
// The driver's mode lists: REG_BINARY values that are 8-byte BCD mode records back to back,
// with no count and no terminator. "DALRestrictedModesBCD" lists the modes the driver refuses;
// the table's rate in force for a resolution is the lowest one it does not list.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "modes/BcdCodec.h"
#include "modes/ModeTable.h"
#include "services/RegistryCursor.h"

// A list is read through a buffer of this size, so it holds at most MaxModeRecords records;
// a longer value fails to read.
constexpr std::size_t ModeListBufferSize = 2048;
constexpr std::size_t MaxModeRecords = ModeListBufferSize / ModeRecordSize;

// The colour depths, in bits per pixel, that a record can disable as a whole.
constexpr std::array<std::uint16_t, 4> ColourDepths{8, 16, 24, 32};

// A driver value as read into the list buffer. The buffer starts filled with 0xFF, which is
// never a BCD byte, so what lies beyond the value (all of it for a missing value) reads 0xFF.
struct ModeListBuffer {
    ModeListBuffer() { bytes.fill(0xFF); }
    std::array<std::uint8_t, ModeListBufferSize> bytes;
    std::size_t size = 0;  // the value's length; 0 when it does not exist
};

// Opens `key` (from the root, never creating it) and reads its value `name`. A key that does
// not open reads as a missing value: never a value of whatever key the cursor stood on. A
// value of a text or number type, or one longer than the buffer, raises RegistryError.
ModeListBuffer ReadModeList(RegistryCursor& cursor, const std::string& key,
                            const std::string& name);

// "DALRestrictedModesBCD" of the driver key.
ModeListBuffer ReadRestrictedModes(RegistryCursor& cursor, const std::string& driverKey);

// The records of a list value of `valueSize` bytes whose bytes stand at `buffer` (at least
// min(valueSize, ModeListBufferSize) of them). Only whole records within the buffer count:
// a trailing part of a record is dropped. A record starting with 0xFF ends the list.
std::vector<RestrictionRecord> DecodeRestrictedModes(const std::uint8_t* buffer,
                                                     std::size_t valueSize);
std::vector<RestrictionRecord> DecodeRestrictedModes(const ModeListBuffer& list);

// The list that makes each entry's `Selected` the rate in force: per entry, in table order,
// its rates below `Selected` (all of them for NoRateLeft); with `hiFreq` also those above it.
// Then one record per colour depth in ColourDepths whose box is not checked. Entries wider or
// taller than a BCD field holds are left out: the driver could not be told about them. The
// result may be longer than a list can be; see ModeListFits.
std::vector<std::uint8_t> EncodeRestrictedModes(
    const ModeEntries& table, bool hiFreq, std::array<bool, ColourDepths.size()> depthsChecked);

// Whether the driver (and the program at its next start) can read the list back whole.
bool ModeListFits(const std::vector<std::uint8_t>& bytes);

// Opens `key` (from the root, never creating it) and writes the list as REG_BINARY of exactly
// its length (0 for an empty list). A key that does not open, or a refused write, raises
// RegistryError: the list never lands in another key.
void WriteModeList(RegistryCursor& cursor, const std::string& key, const std::string& name,
                   const std::vector<std::uint8_t>& bytes);

// Applying: "DALRestrictedModesBCD" := the list, then "DALRestrictedModesBCD1" emptied.
void WriteRestrictedModes(RegistryCursor& cursor, const std::string& driverKey,
                          const std::vector<std::uint8_t>& bytes);
