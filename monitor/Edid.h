#pragma once
// The monitor's own description of itself (EDID), read from its 128-byte base block: who made
// it, its name, and the display range limits that say which modes it can show. Only what the
// monitor check and the report need is read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace monitor {

// Why an EDID cannot answer the monitor check, or that it can.
enum class EdidStatus {
    Usable,             // a whole base block with a display range limits descriptor
    NoEdid,             // nothing was found where Windows keeps it
    TooShort,           // fewer than 128 bytes
    BadHeader,          // not the fixed eight-byte header
    BadChecksum,        // the base block's bytes do not add up to 0 modulo 256
    NoRangeDescriptor,  // a sound block that does not say which modes the monitor can show
};

// A short English phrase for the status, as the report writes it ("no range descriptor").
const char* EdidStatusText(EdidStatus status);

// The display range limits descriptor (tag 0xFD).
struct RangeLimits {
    std::uint32_t minVerticalHz = 0;
    std::uint32_t maxVerticalHz = 0;
    std::uint32_t minHorizontalKHz = 0;
    std::uint32_t maxHorizontalKHz = 0;
    std::uint32_t maxPixelClockMHz = 0;  // 0: the monitor does not say
};

struct Edid {
    EdidStatus status = EdidStatus::NoEdid;
    // The fields below are read whenever the header was found, also when the checksum is bad
    // or the range descriptor is missing, so that the report can still name the monitor.
    std::uint8_t version = 0;
    std::uint8_t revision = 0;
    std::string manufacturer;  // three letters, "SAM"
    std::uint16_t productCode = 0;
    std::string productName;  // the product-name descriptor (0xFC); empty without one
    std::optional<RangeLimits> ranges;
};

constexpr std::size_t EdidBlockSize = 128;

// The name to show for the monitor: its product name, else its manufacturer's three letters.
inline const std::string& MonitorName(const Edid& edid) {
    return edid.productName.empty() ? edid.manufacturer : edid.productName;
}

// Reads an EDID as Windows stores it: the base block, perhaps followed by extension blocks,
// which are not read. Any bytes at all give an answer; an empty input is NoEdid.
Edid ReadEdid(const std::uint8_t* bytes, std::size_t size);
inline Edid ReadEdid(const std::vector<std::uint8_t>& bytes) {
    return ReadEdid(bytes.data(), bytes.size());
}

}  // namespace monitor
