#pragma once
// What a mode asks of a monitor, estimated with the VESA Generalized Timing Formula and its
// default parameters, as an analog monitor's range limits assume.

#include <cstdint>

namespace monitor {

struct GtfEstimate {
    double horizontalKHz = 0;
    double pixelClockMHz = 0;
};

// The line rate and pixel clock of `width` x `height` (not interlaced, no margins) at
// `verticalHz`. Zero for a rate the formula has no timing for: 0 Hz, or so high that the
// vertical sync and back porch alone would fill the frame.
GtfEstimate EstimateGtf(std::uint32_t width, std::uint32_t height, double verticalHz);

}  // namespace monitor
