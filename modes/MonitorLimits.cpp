#include "modes/MonitorLimits.h"

#include <algorithm>
#include <cmath>

#include "monitor/MonitorEdid.h"
#include "platform/Utf8Text.h"
#include "services/Format.h"

namespace {

// One decimal at most, written by hand: the C library's formatting would bring its floating
// point into the exe.
std::string Number(double value) {
    long tenths = std::lround(value * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text;
}

const char* Unit(monitor::Limit limit) {
    switch (limit) {
        case monitor::Limit::VerticalRate:
            return " Hz";
        case monitor::Limit::HorizontalFrequency:
            return " kHz";
        case monitor::Limit::PixelClock:
            return " MHz";
    }
    return "";
}

}  // namespace

std::vector<monitor::Mode> ChosenModes(const ModeEntries& table, bool hiFreq) {
    std::vector<monitor::Mode> modes;
    for (const ModeEntry& entry : table) {
        bool lowest = !entry.Rates.empty() &&
                      entry.Selected == *std::min_element(entry.Rates.begin(), entry.Rates.end());
        if (entry.Selected != 0 && entry.Selected != NoRateLeft && (hiFreq || !lowest))
            modes.push_back({entry.Width, entry.Height, entry.Selected});
    }
    return modes;
}

std::string MonitorLimitsQuestion(const std::string& monitorName,
                                  const std::vector<monitor::ModeBeyondLimits>& beyond,
                                  const LanguageState& language) {
    std::string text = FormatText(language.Text(TextId::MonitorLimitsIntro), monitorName);
    std::string lines;
    for (const monitor::ModeBeyondLimits& mode : beyond) {
        lines += "\r\n" + ModeText(mode.mode.width, mode.mode.height, mode.mode.rate) + ":";
        const char* separator = " ";
        for (const monitor::Excess& excess : mode.excesses) {
            lines += separator + Number(excess.needs) + Unit(excess.limit) + " > " +
                     Number(excess.maximum) + Unit(excess.limit);
            separator = ", ";
        }
    }
    return platform::JoinText(platform::JoinText(text, lines + "\r\n\r\n"),
                              language.Text(TextId::MonitorLimitsQuestion));
}

bool ConfirmMonitorLimits(platform::Platform& os, const std::string& adapterName,
                          const ModeEntries& table, bool hiFreq, const LanguageState& language) {
    monitor::Edid edid = monitor::ReadMonitorEdid(os.display, os.registry, adapterName);
    if (edid.status != monitor::EdidStatus::Usable || !edid.ranges) return true;
    std::vector<monitor::ModeBeyondLimits> beyond =
        monitor::ModesBeyondLimits(*edid.ranges, ChosenModes(table, hiFreq));
    if (beyond.empty()) return true;
    return platform::AskYesNo(os.boxes,
                              MonitorLimitsQuestion(monitor::MonitorName(edid), beyond, language),
                              language.Text(TextId::MonitorLimitsCaption));
}
