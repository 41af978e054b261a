#include "modes/ApplySettings.h"

#include <algorithm>
#include <optional>

#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "services/Format.h"

namespace {

constexpr char kMaxRateUnreadCaption[] = "Warning";
constexpr char kMaxRateUnreadText[] =
    "The display driver's value \"%s\" is not binary data of at most 2048 bytes, so Cadenzo "
    "cannot tell the highest refresh rate the control panel allows and leaves it as it is. "
    "The other settings are written.";

// A value the cursor refuses (another type, or too long) is left alone as a missing one is,
// and said: were the error to end the apply here, the rates would be written but the check
// after the restart never armed.
std::optional<ModeListBuffer> ReadMaxRateValue(RegistryCursor& cursor, const std::string& driverKey,
                                               const std::string& name,
                                               platform::MessageBoxes& boxes) {
    try {
        return ReadModeList(cursor, driverKey, name);
    } catch (const RegistryError&) {
        platform::ShowNotice(boxes, FormatText(kMaxRateUnreadText, name), kMaxRateUnreadCaption);
        return std::nullopt;
    }
}

}  // namespace

std::string AppliedRatesText(const ModeEntries& table, const std::vector<std::uint8_t>& before) {
    auto rate = [](std::uint8_t value) {
        return value == NoRateLeft ? std::string("none") : std::to_string(value) + " Hz";
    };
    std::string text;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ModeEntry& entry = table[i];
        std::uint8_t was = i < before.size() ? before[i] : entry.Selected;
        text += (text.empty() ? "" : ", ") + SizeText(entry.Width, entry.Height) + " " + rate(was);
        if (was != entry.Selected) text += " -> " + rate(entry.Selected);
    }
    return text;
}

std::uint8_t HighestSelectedRate(const ModeEntries& table) {
    std::uint8_t highest = 0;
    for (const ModeEntry& entry : table) {
        if (entry.Selected != NoRateLeft) highest = std::max(highest, entry.Selected);
    }
    return highest;
}

bool MaxRefreshBelow(RegistryCursor& cursor, const std::string& driverKey, std::uint8_t highest,
                     const std::string& infoName) {
    try {
        return ReadModeList(cursor, driverKey, infoName).bytes[InfoMaxRateOffset] < highest;
    } catch (const RegistryError&) {
        return false;
    }
}

bool CorrectMaxRefresh(RegistryCursor& cursor, const std::string& driverKey, std::uint8_t highest,
                       const std::string& infoName, const std::string& maxModeInfoName,
                       platform::MessageBoxes& boxes, const LanguageState& language) {
    std::optional<ModeListBuffer> readInfo = ReadMaxRateValue(cursor, driverKey, infoName, boxes);
    if (!readInfo) return false;
    std::optional<ModeListBuffer> readMaxModeInfo =
        ReadMaxRateValue(cursor, driverKey, maxModeInfoName, boxes);
    if (!readMaxModeInfo) return false;  // the pair is corrected together or not at all
    ModeListBuffer& info = *readInfo;
    ModeListBuffer& maxModeInfo = *readMaxModeInfo;
    // A missing or short Info value reads 255 here and is never corrected.
    if (info.bytes[InfoMaxRateOffset] >= highest) return false;
    platform::ShowNotice(boxes, language.Text(TextId::MaxRateWarning),
                         language.Text(TextId::MaxRateCaption));
    info.bytes[InfoMaxRateOffset] = highest;
    maxModeInfo.bytes[MaxModeInfoMaxRateOffset] = highest;
    auto written = [](const ModeListBuffer& list) {
        return std::vector<std::uint8_t>(list.bytes.begin(), list.bytes.begin() + list.size);
    };
    WriteModeList(cursor, driverKey, infoName, written(info));
    WriteModeList(cursor, driverKey, maxModeInfoName, written(maxModeInfo));
    return true;
}
