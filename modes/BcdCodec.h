#pragma once
// The driver's BCD mode record: 8 bytes, four fields of four decimal digits, each field two
// BCD bytes with the higher digit pair first, in the order width, height, colour depth, rate.
// 1024x768 at 32 bits and 85 Hz is 10 24 07 68 00 32 00 85.

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "modes/ModeTable.h"

constexpr std::size_t ModeRecordSize = 8;
// The largest number a field holds.
constexpr std::uint16_t LargestBcdField = 9999;

using BcdField = std::array<std::uint8_t, 2>;
using ModeRecordBytes = std::array<std::uint8_t, ModeRecordSize>;

// Tens in the high nibble, units in the low one. A nibble above 9 is weighed the same way
// rather than rejected: a stray byte gives an odd number, not an error.
std::uint8_t DecodeBcdByte(std::uint8_t b);
// `value` from 0 to LargestBcdField: 1024 gives 10 24, 85 gives 00 85.
constexpr BcdField EncodeBcdField(std::uint16_t value) {
    assert(value <= LargestBcdField);
    auto byte = [](unsigned n) { return static_cast<std::uint8_t>(n / 10 * 16 + n % 10); };
    return {byte(value / 100), byte(value % 100)};
}

// Every field from 0 to LargestBcdField.
ModeRecordBytes EncodeModeRecord(const RestrictionRecord& record);
// Reads the 8 bytes at `bytes`. A 0xFF byte (never BCD: the fill of an unread buffer) counts
// as 255, which puts its field beyond every size and rate the program keeps.
RestrictionRecord DecodeModeRecord(const std::uint8_t* bytes);
