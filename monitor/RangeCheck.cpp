#include "monitor/RangeCheck.h"

#include "monitor/Gtf.h"

namespace monitor {

std::vector<ModeBeyondLimits> ModesBeyondLimits(const RangeLimits& ranges,
                                                const std::vector<Mode>& modes) {
    std::vector<ModeBeyondLimits> beyond;
    for (const Mode& mode : modes) {
        GtfEstimate needs = EstimateGtf(mode.width, mode.height, mode.rate);
        std::vector<Excess> excesses;
        if (mode.rate > ranges.maxVerticalHz) {
            excesses.push_back(
                {Limit::VerticalRate, double(mode.rate), double(ranges.maxVerticalHz)});
        }
        if (needs.horizontalKHz > ranges.maxHorizontalKHz) {
            excesses.push_back(
                {Limit::HorizontalFrequency, needs.horizontalKHz, double(ranges.maxHorizontalKHz)});
        }
        if (ranges.maxPixelClockMHz != 0 && needs.pixelClockMHz > ranges.maxPixelClockMHz) {
            excesses.push_back(
                {Limit::PixelClock, needs.pixelClockMHz, double(ranges.maxPixelClockMHz)});
        }
        if (!excesses.empty()) beyond.push_back({mode, std::move(excesses)});
    }
    return beyond;
}

std::optional<std::uint32_t> HighestRateWithin(const RangeLimits& ranges, std::uint32_t width,
                                               std::uint32_t height) {
    for (std::uint32_t rate = ranges.maxVerticalHz; rate >= ranges.minVerticalHz && rate > 0;
         --rate) {
        GtfEstimate needs = EstimateGtf(width, height, rate);
        if (needs.horizontalKHz == 0) continue;  // no timing at this rate
        bool clockFits =
            ranges.maxPixelClockMHz == 0 || needs.pixelClockMHz <= ranges.maxPixelClockMHz;
        if (needs.horizontalKHz <= ranges.maxHorizontalKHz &&
            needs.horizontalKHz >= ranges.minHorizontalKHz && clockFits) {
            return rate;
        }
    }
    return std::nullopt;
}

}  // namespace monitor
