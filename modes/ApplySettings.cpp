#include "modes/ApplySettings.h"

#include <algorithm>

#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"

namespace {

constexpr char kMaxRateWarning[] =
    "Selected Refresh Rate larger than maximum refresh rate setted up in Control Panel. Control "
    "Panel settings will be corrected.";
constexpr char kMaxRateCaption[] = "Warning";

}  // namespace

std::uint8_t HighestSelectedRate(const ModeTable& table) {
    std::uint8_t highest = 0;
    for (const ModeEntry& entry : table) {
        if (entry.Selected != NoRateLeft) highest = std::max(highest, entry.Selected);
    }
    return highest;
}

bool CorrectMaxRefresh(RegistryCursor& cursor, const std::string& driverKey, std::uint8_t highest,
                       const std::string& infoName, const std::string& maxModeInfoName,
                       platform::MessageBoxes& boxes, const LanguageState& language) {
    ModeListBuffer info = ReadModeList(cursor, driverKey, infoName);
    ModeListBuffer maxModeInfo = ReadModeList(cursor, driverKey, maxModeInfoName);
    // A missing or short Info value reads 255 here and is never corrected.
    if (info.bytes[InfoMaxRateOffset] >= highest) return false;
    boxes.Show(language.Text(22, kMaxRateWarning), language.Text(23, kMaxRateCaption),
               platform::Buttons::Ok, platform::Icon::None);
    info.bytes[InfoMaxRateOffset] = highest;
    maxModeInfo.bytes[MaxModeInfoMaxRateOffset] = highest;
    auto written = [](const ModeListBuffer& list) {
        return std::vector<std::uint8_t>(list.bytes.begin(), list.bytes.begin() + list.size);
    };
    WriteModeList(cursor, driverKey, infoName, written(info));
    WriteModeList(cursor, driverKey, maxModeInfoName, written(maxModeInfo));
    return true;
}
