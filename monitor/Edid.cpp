#include "monitor/Edid.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace monitor {
namespace {

constexpr std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

// Byte offsets in the base block.
constexpr std::size_t kManufacturer = 8;  // big-endian
constexpr std::size_t kProductCode = 10;  // little-endian
constexpr std::size_t kVersion = 18;
constexpr std::size_t kRevision = 19;
constexpr std::size_t kDescriptors[] = {54, 72, 90, 108};  // four 18-byte descriptors
constexpr std::size_t kDescriptorText = 13;

// A display descriptor starts with a zero pixel clock, where a detailed timing has its own; its
// tag is byte 3.
constexpr std::size_t kTag = 3;
constexpr std::uint8_t kProductNameTag = 0xFC;
constexpr std::uint8_t kRangeLimitsTag = 0xFD;

// Byte 4 of the range limits descriptor (from EDID 1.4; earlier versions keep it zero):
// bits 0-1 for the vertical rates, bits 2-3 for the horizontal ones; 10 adds 255 to the
// maximum, 11 to the minimum as well.
constexpr std::uint32_t kRangeOffset = 255;

// Three letters of five bits each, 1 for 'A'; 0 and 27 to 31 show as the ASCII characters
// around the letters ('@', '[' ...), as they would be counted from '@'.
std::string Manufacturer(const std::uint8_t* block) {
    unsigned id = (block[kManufacturer] << 8) | block[kManufacturer + 1];
    std::string letters;
    for (int shift : {10, 5, 0})
        letters += static_cast<char>('@' + ((id >> shift) & 0x1F));
    return letters;
}

// The text of a descriptor ends at a line feed (the blanks after it pad the field) or at a NUL.
// Anything else but printable ASCII shows as '?', since the name goes into messages and the
// report.
std::string DescriptorText(const std::uint8_t* descriptor) {
    std::string text;
    for (std::size_t i = 5; i < 5 + kDescriptorText && descriptor[i] != 0x0A && descriptor[i] != 0;
         ++i) {
        std::uint8_t c = descriptor[i];
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return text;
}

RangeLimits Ranges(const std::uint8_t* descriptor) {
    std::uint8_t flags = descriptor[4];
    auto withOffset = [](std::uint8_t value, bool offset) {
        return value + (offset ? kRangeOffset : 0);
    };
    RangeLimits r;
    r.minVerticalHz = withOffset(descriptor[5], (flags & 0x03) == 0x03);
    r.maxVerticalHz = withOffset(descriptor[6], (flags & 0x02) != 0);
    r.minHorizontalKHz = withOffset(descriptor[7], (flags & 0x0C) == 0x0C);
    r.maxHorizontalKHz = withOffset(descriptor[8], (flags & 0x08) != 0);
    r.maxPixelClockMHz = descriptor[9] * 10u;
    return r;
}

}  // namespace

const char* EdidStatusText(EdidStatus status) {
    switch (status) {
        case EdidStatus::Usable:
            return "usable";
        case EdidStatus::NoEdid:
            return "no EDID";
        case EdidStatus::TooShort:
            return "too short";
        case EdidStatus::BadHeader:
            return "bad header";
        case EdidStatus::BadChecksum:
            return "bad checksum";
        case EdidStatus::NoRangeDescriptor:
            return "no range descriptor";
    }
    return "?";
}

Edid ReadEdid(const std::uint8_t* bytes, std::size_t size) {
    Edid edid;
    if (size == 0) return edid;
    if (size < EdidBlockSize) {
        edid.status = EdidStatus::TooShort;
        return edid;
    }
    if (!std::equal(std::begin(kHeader), std::end(kHeader), bytes)) {
        edid.status = EdidStatus::BadHeader;
        return edid;
    }
    edid.version = bytes[kVersion];
    edid.revision = bytes[kRevision];
    edid.manufacturer = Manufacturer(bytes);
    edid.productCode =
        static_cast<std::uint16_t>(bytes[kProductCode] | bytes[kProductCode + 1] << 8);
    for (std::size_t offset : kDescriptors) {
        const std::uint8_t* d = bytes + offset;
        if (d[0] != 0 || d[1] != 0) continue;  // a detailed timing: its pixel clock is not 0
        if (d[kTag] == kProductNameTag && edid.productName.empty())
            edid.productName = DescriptorText(d);
        if (d[kTag] == kRangeLimitsTag && !edid.ranges) edid.ranges = Ranges(d);
    }
    unsigned sum = std::accumulate(bytes, bytes + EdidBlockSize, 0u);
    if (sum % 256 != 0) {
        edid.status = EdidStatus::BadChecksum;
    } else {
        edid.status = edid.ranges ? EdidStatus::Usable : EdidStatus::NoRangeDescriptor;
    }
    return edid;
}

}  // namespace monitor
