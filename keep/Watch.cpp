#include "keep/Watch.h"

#include <algorithm>

#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptionValues.h"
#include "platform/CommandLine.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

namespace {

bool SameRecord(const RestrictionRecord& a, const RestrictionRecord& b) {
    return a.Width == b.Width && a.Height == b.Height && a.Depth == b.Depth && a.Rate == b.Rate;
}

std::string DriverText(const std::string& version, const std::string& date) {
    return date.empty() ? version : version + " (" + date + ")";
}

}  // namespace

WatchResult ExamineDriver(platform::Registry& registry, const AdapterState& adapter,
                          const AppliedRecord& record) {
    WatchResult result;
    result.driverBefore = DriverText(record.driverVersion, record.driverDate);
    if (!adapter.HasDriverKey() || !RegKeyOpens(registry, adapter.DriverKey) ||
        (!record.device.empty() && adapter.DeviceInstanceId != record.device)) {
        result.finding = WatchFinding::AdapterGone;
        return result;
    }
    DriverIdentity driver = ReadDriverIdentity(registry, adapter.DriverKey);
    result.driverNow = DriverText(driver.version, driver.date);

    // Every mode the applied list refused must still be refused. The list is read as the main
    // window reads it; one it could not read refuses nothing.
    std::vector<RestrictionRecord> refusedNow;
    try {
        RegistryCursor reader(registry, platform::KeyQueryValue);
        refusedNow = DecodeRestrictedModes(ReadRestrictedModes(reader, adapter.DriverKey));
    } catch (const RegistryError&) {
    }
    std::vector<RestrictionRecord> refusedThen =
        DecodeRestrictedModes(record.refused.data(), record.refused.size());
    std::vector<RestrictionRecord> missing;
    for (const RestrictionRecord& then : refusedThen) {
        bool kept = std::any_of(refusedNow.begin(), refusedNow.end(),
                                [&](const RestrictionRecord& r) { return SameRecord(r, then); });
        if (!kept) missing.push_back(then);
    }
    // Named by the rate chosen for its resolution; a record of no resolution the record rates
    // (a whole colour depth refused, or a size it does not list) by what it refused.
    for (const RestrictionRecord& rate : record.rates) {
        bool gone = std::any_of(missing.begin(), missing.end(), [&](const RestrictionRecord& m) {
            return m.Width == rate.Width && m.Height == rate.Height;
        });
        if (gone) result.lost.push_back(ModeText(rate.Width, rate.Height, rate.Rate));
    }
    for (const RestrictionRecord& m : missing) {
        bool named = std::any_of(record.rates.begin(), record.rates.end(), [&](const auto& rate) {
            return m.Width == rate.Width && m.Height == rate.Height;
        });
        if (named) continue;
        std::string line = m.Width == 0 && m.Height == 0 ? std::to_string(m.Depth) + " bits"
                                                         : ModeText(m.Width, m.Height, m.Rate);
        if (std::find(result.lost.begin(), result.lost.end(), line) == result.lost.end())
            result.lost.push_back(line);
    }

    for (const RecordedSwitch& item : record.switches) {
        std::uint16_t value = SwitchValueAbsent;
        ReadRegWord(registry, adapter.DriverKey, item.name, value);
        if (value != item.value) result.switchesChanged = true;
    }
    std::string degree;
    ReadRegString(registry, adapter.DdhalKey, AnisoDegreeValue, degree);
    if (degree != record.anisoDegree) result.switchesChanged = true;

    result.finding = missing.empty() && !result.switchesChanged ? WatchFinding::AllWell
                                                                : WatchFinding::RatesLost;
    return result;
}

bool HasWatchSwitch(const std::string& commandLine) {
    return platform::HasCommandLineWord(commandLine, WatchSwitch);
}

bool WatchEnabled(platform::Registry& registry) {
    std::string command;
    return ReadRegString(registry, RunKey, WatchRunValue, command) == RegDone;
}

void EnableWatch(platform::Registry& registry, const std::string& installDir, bool on) {
    if (!on) {
        DeleteRegValue(registry, RunKey, WatchRunValue);
        return;
    }
    // The key is Windows' own, but a fresh system may not have made it yet.
    platform::RegKey key = 0;
    if (registry.OpenKey(RunKey, platform::KeySetValue, true, &key) != platform::RegStatus::Ok)
        return;
    registry.CloseKey(key);
    WriteRegString(registry, RunKey, WatchRunValue,
                   "\"" + InstallPath(installDir, "Cadenzo.exe") + "\" " + WatchSwitch);
}
