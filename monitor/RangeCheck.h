#pragma once
// A mode table against the monitor's range limits: which modes ask more of the monitor than it
// says it can show, and the highest rate a resolution can have within them.

#include <cstdint>
#include <optional>
#include <vector>

#include "monitor/Edid.h"

namespace monitor {

struct Mode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t rate = 0;  // Hz
};

enum class Limit {
    VerticalRate,         // Hz
    HorizontalFrequency,  // kHz, estimated with the GTF
    PixelClock,           // MHz, estimated with the GTF
};

// One limit a mode goes beyond: what the mode needs and the monitor's maximum, in the
// limit's unit.
struct Excess {
    Limit limit = Limit::VerticalRate;
    double needs = 0;
    double maximum = 0;
};

struct ModeBeyondLimits {
    Mode mode;
    std::vector<Excess> excesses;  // in the order of Limit, at least one
};

// The modes, in the order given, whose rate is above the vertical maximum or whose estimated
// line rate or pixel clock is above the monitor's maximum (a pixel clock of 0 is not checked).
std::vector<ModeBeyondLimits> ModesBeyondLimits(const RangeLimits& ranges,
                                                const std::vector<Mode>& modes);

// The highest whole rate at which `width` x `height` stays within every range, minimum and
// maximum alike; none when no rate does.
std::optional<std::uint32_t> HighestRateWithin(const RangeLimits& ranges, std::uint32_t width,
                                               std::uint32_t height);

}  // namespace monitor
