#include "monitor/Gtf.h"

#include <cmath>

namespace monitor {
namespace {

// The formula's default parameters. The sync widths (8 % of the line, 3 lines) place the sync
// within the blanking but change neither frequency, so they do not appear below.
constexpr double kCellPixels = 8;
constexpr double kMinVsyncAndBackPorchUs = 550;
constexpr double kMinPorchLines = 1;
// The blanking's duty cycle C' - M' * line period (in µs) / 1000, from the gradient M = 600
// %/kHz, offset C = 40 %, scaling factor K = 128 and scaling weight J = 20.
constexpr double kM = 600, kC = 40, kK = 128, kJ = 20;
constexpr double kCPrime = (kC - kJ) * kK / 256 + kJ;
constexpr double kMPrime = kK / 256 * kM;

}  // namespace

GtfEstimate EstimateGtf(std::uint32_t width, std::uint32_t height, double verticalHz) {
    if (!(verticalHz > 0)) return {};
    double lines = height;
    // A first line period from the rate, then the lines that vertical sync and back porch
    // take at that period; the frame's total lines fix the real period.
    double periodEstimateUs =
        (1 / verticalHz - kMinVsyncAndBackPorchUs / 1e6) / (lines + kMinPorchLines) * 1e6;
    if (!(periodEstimateUs > 0)) return {};
    double vsyncAndBackPorch = std::round(kMinVsyncAndBackPorchUs / periodEstimateUs);
    double totalLines = lines + vsyncAndBackPorch + kMinPorchLines;
    double periodUs = 1e6 / (verticalHz * totalLines);

    double activePixels = std::round(width / kCellPixels) * kCellPixels;
    double dutyCycle = kCPrime - kMPrime * periodUs / 1000;
    double blankPixels =
        std::round(activePixels * dutyCycle / (100 - dutyCycle) / (2 * kCellPixels)) *
        (2 * kCellPixels);
    double totalPixels = activePixels + blankPixels;
    return GtfEstimate{1000 / periodUs, totalPixels / periodUs};
}

}  // namespace monitor
