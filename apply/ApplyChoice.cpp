#include "apply/ApplyChoice.h"

#include "adapters/AdapterDiscovery.h"
#include "keep/AppliedRecord.h"
#include "modes/ApplySettings.h"
#include "modes/DriverValues.h"
#include "modes/MonitorLimits.h"
#include "monitor/MonitorEdid.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/ExitCodes.h"
#include "services/Format.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

constexpr char kAllDepthsText[] = "Can't disable all modes, 32BPP will be enabled";
constexpr char kAllDepthsCaption[] = "Error";
constexpr char kListTooLongText[] =
    "The chosen rates would make the driver refuse %s modes, more than its list can hold (256). "
    "Nothing was changed: choose lower rates for some resolutions.";
constexpr char kListTooLongCaption[] = "Error";

// 32 bits per pixel, allowed when a choice allows no depth at all.
constexpr std::size_t kDeepest = ColourDepths.size() - 1;

std::string InForceText(std::uint8_t selected) {
    if (selected == 0) return "-";
    if (selected == NoRateLeft) return "none";
    return std::to_string(selected);
}

// Sets each chosen rate beyond the monitor's limits back to the rate in force; the lines say
// which.
std::vector<std::string> RefuseBeyond(platform::Platform& os, const Machine& machine,
                                      bool refuseHigher, ModeEntries& table) {
    monitor::Edid edid =
        monitor::ReadMonitorEdid(os.display, os.registry, machine.adapter.DisplayDeviceName);
    if (edid.status != monitor::EdidStatus::Usable || !edid.ranges) return {};
    std::vector<std::string> refused;
    for (const monitor::ModeBeyondLimits& beyond :
         monitor::ModesBeyondLimits(*edid.ranges, ChosenModes(table, refuseHigher))) {
        const monitor::Mode& mode = beyond.mode;
        for (std::size_t i = 0; i < table.size(); ++i) {
            ModeEntry& entry = table[i];
            if (entry.Width != mode.width || entry.Height != mode.height ||
                entry.Selected != mode.rate)
                continue;
            if (i < machine.modes.size()) entry.Selected = machine.modes[i].Selected;
            refused.push_back(ModeText(mode.width, mode.height, mode.rate) + " (" +
                              InForceText(entry.Selected) + " Hz kept)");
        }
    }
    return refused;
}

bool RatesChanged(const ModeEntries& before, const ModeEntries& after) {
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i].Selected != after[i].Selected) return true;
    }
    return false;
}

std::vector<std::uint8_t> SelectedRates(const ModeEntries& table) {
    std::vector<std::uint8_t> rates;
    for (const ModeEntry& entry : table)
        rates.push_back(entry.Selected);
    return rates;
}

AppliedRecord RecordOf(platform::Platform& os, const AdapterState& adapter,
                       const ModeEntries& table, const DriverOptionState& options,
                       const std::vector<std::uint8_t>& refused) {
    AppliedRecord record;
    record.rates = RecordedRates(table);
    record.refused = refused;
    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        SwitchSetting setting = options.switches[i];
        if (setting == SwitchSetting::LeftAsItIs) continue;  // not written
        record.switches.push_back(
            {DriverSwitchTable[i].value, setting == SwitchSetting::FeatureEnabled
                                             ? SwitchFeatureEnabled
                                             : SwitchFeatureDisabled});
    }
    record.anisoDegree = options.anisoD3D ? options.anisoDegree : "";
    record.driverKey = adapter.DriverKey;
    DriverIdentity driver = ReadDriverIdentity(os.registry, adapter.DriverKey);
    record.driverVersion = driver.version;
    record.driverDate = driver.date;
    record.device = adapter.DeviceInstanceId;
    record.date = DateText(os.system.Now());
    return record;
}

}  // namespace

ApplyOutcome ApplyChoice(platform::Platform& os, RegistryCursor& cursor, const Machine& machine,
                         const Choice& choice, const ApplyPolicy& policy,
                         const LanguageState& language) {
    const AdapterState& adapter = machine.adapter;
    ApplyOutcome outcome;
    outcome.depths = choice.depths;
    auto stop = [&outcome](std::uint32_t code) {
        outcome.exitCode = code;
        return outcome;
    };

    if (!adapter.HasDriverKey()) {
        platform::ShowNotice(os.boxes, AdapterProblem(adapter), NoAdapterCaption);
        return stop(exitcode::NoAdapter);
    }

    // One Cadenzo at a time writes the driver's settings. The lock is let go when this returns,
    // before the caller restarts Windows or ends: a lock a process ends with tells the next one
    // that a writer died half way.
    WriterLock lock(os.system);
    if (!lock.Held()) {
        platform::ShowNotice(os.boxes, language.Text(TextId::WriterBusy),
                             language.Text(TextId::WriterBusyCaption));
        return stop(exitcode::Busy);
    }

    ModeEntries table = choice.rates;

    // The monitor's own limits, before anything is backed up or written.
    if (policy.monitor == ApplyPolicy::Monitor::RefuseBeyond) {
        outcome.beyondMonitor = RefuseBeyond(os, machine, choice.refuseHigher, table);
    } else if (!ConfirmMonitorLimits(os, adapter.DisplayDeviceName, table, choice.refuseHigher,
                                     language)) {
        return stop(exitcode::NothingDone);
    }
    outcome.table = table;

    bool anyDepth = false;
    for (bool depth : outcome.depths)
        anyDepth = anyDepth || depth;
    if (!anyDepth) {
        platform::ShowNotice(os.boxes, kAllDepthsText, kAllDepthsCaption);
        outcome.depths[kDeepest] = true;
    }
    std::vector<std::uint8_t> restricted =
        EncodeRestrictedModes(table, choice.refuseHigher, outcome.depths);
    // A list longer than the driver (and the next start) can read back is refused whole, and
    // before the backup: "lastknowngood.dat" must still undo the last apply that was made.
    if (!ModeListFits(restricted)) {
        platform::ShowNotice(os.boxes,
                             FormatText(kListTooLongText, std::to_string(restricted.size() / 8)),
                             kListTooLongCaption);
        return stop(exitcode::PartsRefused);
    }

    // Nothing is written unless the backup of the driver key as it is now exists. While a
    // change waits for its check, its backup from before its first apply stays: this one adds
    // to that change, and an undo must go back past both.
    bool pending = ChangePending(os.registry);
    if (!pending && !ExportDriverKey(os, adapter.DriverKey, LastKnownGoodFile)) {
        platform::ShowNotice(os.boxes, FormatText(BackupFailedText, LastKnownGoodFile),
                             BackupFailedCaption);
        return stop(exitcode::EditorUnfinished);
    }

    // Whether the driver must restart to take the values, known before any is written: the
    // check is armed and on disk first, so that a power cut half way through the writes comes
    // back to a check, never to new rates unchecked.
    std::uint8_t highest = HighestSelectedRate(table);
    bool restartNeeded =
        pending || RatesChanged(machine.modes, table) || outcome.depths != machine.depths ||
        OptionsChanged(machine.options, choice.options) || policy.nonStandardChanged;
    for (const MaxRatePair& pair : MaxRatePairs)
        restartNeeded =
            restartNeeded || MaxRefreshBelow(cursor, adapter.DriverKey, highest, pair.info);
    // What was applied, to be kept after a driver update: at once when no restart is needed,
    // otherwise once the check after the restart is confirmed.
    AppliedRecord record = RecordOf(os, adapter, table, choice.options, restricted);
    if (restartNeeded) {
        BeginChange(os, LastKnownGoodFile, adapter.DriverKey);
        WriteRecord(os.registry, PendingKey, record);
    }

    try {
        WriteRestrictedModes(cursor, adapter.DriverKey, restricted);
    } catch (const RegistryError&) {
        // Refused at the first value (no administrator rights): nothing was changed, so nothing
        // is left to check. Once a value is written the check stays armed whatever follows.
        if (!pending && restartNeeded) EndChange(os);
        throw;
    }
    WriteRegDword(os.registry, adapter.DriverKey, AddNativeModesRuleValue, 0);
    WriteRegDword(os.registry, adapter.DriverKey, MinResValue, 0);

    WriteDriverOptions(cursor, os.registry, adapter, choice.options);

    for (const MaxRatePair& pair : MaxRatePairs) {
        CorrectMaxRefresh(cursor, adapter.DriverKey, highest, pair.info, pair.maxModeInfo, os.boxes,
                          language);
    }
    os.registry.FlushKey(adapter.DriverKey);

    WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);
    SaveLangFileName(os.registry, language.LanguageFile);
    RecordEvent(os, HistoryEvent::OkApplied, AppliedRatesText(table, SelectedRates(machine.modes)));
    if (restartNeeded) RecordEvent(os, HistoryEvent::CheckArmed);

    if (!restartNeeded) {
        WriteRecord(os.registry, AppliedKey, record);
        DropPendingRecord(os.registry);
    }
    outcome.result =
        restartNeeded ? ApplyOutcome::Result::RestartNeeded : ApplyOutcome::Result::Done;
    outcome.restartNeeded = restartNeeded;
    outcome.exitCode = outcome.beyondMonitor.empty() ? exitcode::Done : exitcode::PartsRefused;
    return outcome;
}

std::vector<std::string> RefuseRatesBeyondMonitor(platform::Platform& os, const Machine& machine,
                                                  Choice& choice) {
    return RefuseBeyond(os, machine, choice.refuseHigher, choice.rates);
}
