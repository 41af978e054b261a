#include "safety/CheckStarts.h"

#include "services/Format.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"

namespace {

void ArmEntry(platform::Platform& os) {
    WriteRegString(os.registry, RunOnceKey, RunOnceValue, CheckCommand(GetInstallDir(os.registry)));
}

}  // namespace

void ArmCheck(platform::Platform& os) {
    DeleteRegValue(os.registry, SettingsKey, CheckStartsValue);
    WriteRegString(os.registry, SettingsKey, CheckArmedOnValue, DateText(os.system.Now()));
    ArmEntry(os);
    RecordEvent(os, HistoryEvent::CheckArmed);
}

int CountCheckStart(platform::Platform& os) {
    ArmEntry(os);
    std::uint16_t earlier = 0;
    ReadRegWord(os.registry, SettingsKey, CheckStartsValue, earlier);
    WriteRegDword(os.registry, SettingsKey, CheckStartsValue,
                  static_cast<std::uint16_t>(earlier + (earlier < 0xFFFF ? 1 : 0)));
    return earlier;
}

void ClearCheck(platform::Platform& os) {
    DeleteRegValue(os.registry, RunOnceKey, RunOnceValue);
    DeleteRegValue(os.registry, SettingsKey, CheckStartsValue);
}

void NoteUnconfirmedChange(platform::Platform& os) {
    std::string date;
    ReadRegString(os.registry, SettingsKey, CheckArmedOnValue, date);
    WriteRegString(os.registry, SettingsKey, ChangeUndoneValue, date);
}

std::optional<std::string> TakeUnconfirmedChange(platform::Platform& os) {
    std::string date;
    if (ReadRegString(os.registry, SettingsKey, ChangeUndoneValue, date) != RegDone)
        return std::nullopt;
    DeleteRegValue(os.registry, SettingsKey, ChangeUndoneValue);
    return date;
}
