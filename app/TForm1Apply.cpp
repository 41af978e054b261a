// The main window's OK: back up the driver key, write the chosen rates and the driver's
// options, and when anything needs a restart, arm the check of the new modes and offer it.

#include <algorithm>
#include "adapters/AdapterDiscovery.h"

#include "app/TForm1.h"
#include "modes/ApplySettings.h"
#include "modes/DriverValues.h"
#include "modes/MonitorLimits.h"
#include "modes/RestrictedModes.h"
#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/ExitCodes.h"
#include "services/Format.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

constexpr char kAllDepthsText[] = "Can't disable all modes, 32BPP will be enabled";
constexpr char kAllDepthsCaption[] = "Error";
constexpr char kListTooLongText[] =
    "The chosen rates would make the driver refuse %s modes, more than its list can hold (256). "
    "Nothing was changed: choose lower rates for some resolutions.";
constexpr char kListTooLongCaption[] = "Error";
constexpr char kIncompleteStartText[] =
    "Cadenzo could not read all of the driver's settings when it started (the error was shown "
    "then), so OK would write back settings it never read. Nothing was changed. Correct or "
    "delete the value named in that error, then start Cadenzo again.";
constexpr char kIncompleteStartCaption[] = "Error";

}  // namespace

void TForm1::SaveInitialState() {
    initialSelected_.clear();
    for (const ModeEntry& entry : state.ModeTable)
        initialSelected_.push_back(entry.Selected);
    for (std::size_t i = 0; i < ColourDepths.size(); ++i)
        initialDepths_[i] = ColourDepths[i]->Checked();
    DriverOptions->RecordSwitchSnapshot();
}

bool TForm1::SettingsChanged() {
    const ModeEntries& table = state.ModeTable;
    for (std::size_t i = 0; i < table.size() && i < initialSelected_.size(); ++i) {
        if (table[i].Selected != initialSelected_[i]) return true;
    }
    for (std::size_t i = 0; i < ColourDepths.size(); ++i) {
        if (ColourDepths[i]->Checked() != initialDepths_[i]) return true;
    }
    return DriverOptions->SwitchesChanged();
}

AppliedRecord TForm1::RecordOf(const std::vector<std::uint8_t>& restricted) {
    platform::Platform& os = state.os;
    const AdapterState& adapter = state.adapter;
    AppliedRecord record;
    record.rates = RecordedRates(state.ModeTable);
    record.refused = restricted;
    for (std::size_t i = 0; i < Switches.size(); ++i) {
        ui::CheckState box = Switches[i]->State();
        if (box == ui::CheckState::Grayed) continue;  // not written
        record.switches.push_back({DriverSwitchTable[i].value, box == ui::CheckState::Checked
                                                                   ? SwitchFeatureEnabled
                                                                   : SwitchFeatureDisabled});
    }
    record.anisoDegree = cbAnisoD3D.Checked() ? cbAnisoDegree.Text() : "";
    record.driverKey = adapter.DriverKey;
    DriverIdentity driver = ReadDriverIdentity(os.registry, adapter.DriverKey);
    record.driverVersion = driver.version;
    record.driverDate = driver.date;
    record.device = adapter.DeviceInstanceId;
    record.date = DateText(os.system.Now());
    return record;
}

void TForm1::ApplyAsShown() {
    // The backups an ordinary start and OK take: the check after the restart falls back to
    // this start's backup.dat, never to an older one of another driver.
    TakeStartBackup();
    if (!state.StartBackupTaken) {
        state.ExitCode = exitcode::EditorUnfinished;
        return;
    }
    OKClick();
}

void TForm1::ApplyRecord(
    const AppliedRecord& record) {  // Chosen as by hand: a rate the resolution no longer offers
                                    // stays at the rate in force.
    for (const RestrictionRecord& rate : record.rates) {
        for (ModeEntry& entry : state.ModeTable) {
            bool offered =
                rate.Rate == 0 || rate.Rate == NoRateLeft ||
                std::find(entry.Rates.begin(), entry.Rates.end(), rate.Rate) != entry.Rates.end();
            if (entry.Width == rate.Width && entry.Height == rate.Height && offered)
                entry.Selected = static_cast<std::uint8_t>(rate.Rate);
        }
    }
    Grid.FillGrid();
    profile::SwitchSettings settings;
    for (const RecordedSwitch& item : record.switches) {
        for (std::size_t i = 0; i < settings.Switches.size(); ++i) {
            if (item.name == DriverSwitchTable[i].value)
                settings.Switches[i] = item.value == SwitchFeatureEnabled;
        }
    }
    settings.AnisoD3D = !record.anisoDegree.empty();
    if (!record.anisoDegree.empty()) settings.AnisoDegree = record.anisoDegree;
    ChooseSwitches(settings);
    ApplyAsShown();
}

void TForm1::OKClick() {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    // The lock is let go before the restart and the end of the process: a lock a process ends
    // with tells the next one that a writer died half way.
    Written written = WriteChosen();
    if (written == Written::Nothing) return;
    if (written == Written::RestartNeeded) {
        bool restarting = false;
        if (platform::AskYesNo(os.boxes, language.Text(TextId::RestartQuestion),
                               language.Text(TextId::RestartCaption))) {
            restarting = RestartWindows(os, Notice{language.Text(TextId::RestartFailed),
                                                   language.Text(TextId::RestartFailedCaption)});
        }
        // A command that leaves the restart to its caller says that one is needed.
        if (!restarting && state.ExitCode == exitcode::Done)
            state.ExitCode = exitcode::RestartNeeded;
    }
    os.system.ExitProcess(state.CommandMode ? state.ExitCode : 0);
}

TForm1::Written TForm1::WriteChosen() {
    platform::Platform& os = state.os;
    const AdapterState& adapter = state.adapter;
    const LanguageState& language = state.language;

    // Its rows, switches and adapter belong to a table and a driver key read before the newest
    // window's: writing them could set other resolutions' rates, even another adapter's.
    if (!TableInForce()) {
        platform::ShowNotice(os.boxes, language.Text(TextId::OutdatedWindow),
                             language.Text(TextId::OutdatedWindowCaption));
        Hide();
        // Closing the first window ends the program; with it hidden, the newest one does.
        if (state.app.MainForm() == this) state.app.SetMainForm(&windows_.Form1());
        state.ExitCode = exitcode::NothingDone;
        return Written::Nothing;
    }

    if (!adapter.HasDriverKey()) {
        platform::ShowNotice(os.boxes, AdapterProblem(adapter), NoAdapterCaption);
        state.ExitCode = exitcode::NoAdapter;
        return Written::Nothing;
    }

    // An error ended the creation early: the grid, switches and tabs hold what was built, not
    // what the driver has, and writing them would undo the driver's settings unasked.
    if (!created_) {
        platform::ShowNotice(os.boxes, kIncompleteStartText, kIncompleteStartCaption);
        state.ExitCode = exitcode::NoAdapter;
        return Written::Nothing;
    }

    // One Cadenzo at a time writes the driver's settings.
    WriterLock lock(os.system);
    if (!lock.Held()) {
        platform::ShowNotice(os.boxes, language.Text(TextId::WriterBusy),
                             language.Text(TextId::WriterBusyCaption));
        state.ExitCode = exitcode::Busy;
        return Written::Nothing;
    }

    for (std::size_t k = 1; k <= RefreshGrid::RowCount; ++k)
        Grid.StoreRow(k);
    // The monitor's own limits, before anything is backed up or written: No leaves the window
    // as it is.
    if (!ConfirmMonitorLimits(os, adapter.DisplayDeviceName, state.ModeTable, cbHiFreq.Checked(),
                              language)) {
        state.ExitCode = exitcode::NothingDone;
        return Written::Nothing;
    }

    bool anyDepth = false;
    for (const auto& box : ColourDepths)
        anyDepth = anyDepth || box->Checked();
    if (!anyDepth) {
        platform::ShowNotice(os.boxes, kAllDepthsText, kAllDepthsCaption);
        ColourDepths[3]->SetChecked(true);
    }
    std::vector<std::uint8_t> restricted =
        EncodeRestrictedModes(state.ModeTable, cbHiFreq.Checked(),
                              {ColourDepths[0]->Checked(), ColourDepths[1]->Checked(),
                               ColourDepths[2]->Checked(), ColourDepths[3]->Checked()});
    // A list longer than the driver (and the next start) can read back is refused whole, and
    // before the backup: "lastknowngood.dat" must still undo the last apply that was made.
    if (!ModeListFits(restricted)) {
        platform::ShowNotice(os.boxes,
                             FormatText(kListTooLongText, std::to_string(restricted.size() / 8)),
                             kListTooLongCaption);
        state.ExitCode = exitcode::PartsRefused;
        return Written::Nothing;
    }

    // Nothing is written unless the backup of the driver key as it is now exists. While a
    // change waits for its check, its backup from before its first OK stays: this OK adds to
    // that change, and an undo must go back past both.
    bool pending = ChangePending(os.registry);
    if (!pending && !ExportDriverKey(os, adapter.DriverKey, LastKnownGoodFile)) {
        platform::ShowNotice(os.boxes, FormatText(BackupFailedText, LastKnownGoodFile),
                             BackupFailedCaption);
        state.ExitCode = exitcode::EditorUnfinished;
        return Written::Nothing;
    }

    // Whether the driver must restart to take the values, known before any is written: the
    // check is armed and on disk first, so that a power cut half way through the writes comes
    // back to a check, never to new rates unchecked.
    std::uint8_t highest = HighestSelectedRate(state.ModeTable);
    bool restartNeeded = pending || SettingsChanged() || state.NonStdModesChanged;
    for (const MaxRatePair& pair : MaxRatePairs)
        restartNeeded = restartNeeded ||
                        MaxRefreshBelow(MachineRegistry, adapter.DriverKey, highest, pair.info);
    // What was applied, to be kept after a driver update: at once when no restart is needed,
    // otherwise once the check after the restart is confirmed.
    AppliedRecord record = RecordOf(restricted);
    if (restartNeeded) {
        BeginChange(os, LastKnownGoodFile, adapter.DriverKey);
        WriteRecord(os.registry, PendingKey, record);
    }

    try {
        WriteRestrictedModes(MachineRegistry, adapter.DriverKey, restricted);
    } catch (const RegistryError&) {
        // Refused at the first value (no administrator rights): nothing was changed, so nothing
        // is left to check. Once a value is written the check stays armed whatever follows.
        if (!pending && restartNeeded) EndChange(os);
        throw;
    }
    WriteRegDword(os.registry, adapter.DriverKey, AddNativeModesRuleValue, 0);
    WriteRegDword(os.registry, adapter.DriverKey, MinResValue, 0);

    WriteDriverOptions(MachineRegistry, os.registry, adapter, DriverOptions->Chosen());

    for (const MaxRatePair& pair : MaxRatePairs) {
        CorrectMaxRefresh(MachineRegistry, adapter.DriverKey, highest, pair.info, pair.maxModeInfo,
                          os.boxes, language);
    }

    os.registry.FlushKey(adapter.DriverKey);

    WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);
    SaveLangFileName(os.registry, language.LanguageFile);
    RecordEvent(os, HistoryEvent::OkApplied, AppliedRatesText(state.ModeTable, initialSelected_));
    if (restartNeeded) RecordEvent(os, HistoryEvent::CheckArmed);

    if (!restartNeeded) {
        WriteRecord(os.registry, AppliedKey, record);
        DropPendingRecord(os.registry);
    }
    return restartNeeded ? Written::RestartNeeded : Written::Done;
}
