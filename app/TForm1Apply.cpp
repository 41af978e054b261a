// The main window's OK: back up the driver key, write the chosen rates and the driver's
// options, and when anything needs a restart, arm the check of the new modes and offer it.

#include "adapters/AdapterDiscovery.h"
#include "app/TForm1.h"
#include "apply/ApplyChoice.h"
#include "services/Restart.h"

namespace {

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

void TForm1::OKClick() {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    // The lock is let go before the restart and the end of the process: a lock a process ends
    // with tells the next one that a writer died half way.
    Written written = WriteChosen();
    if (written == Written::Nothing) return;
    if (written == Written::RestartNeeded) {
        if (platform::AskYesNo(os.boxes, language.Text(TextId::RestartQuestion),
                               language.Text(TextId::RestartCaption))) {
            RestartWindows(os, Notice{language.Text(TextId::RestartFailed),
                                      language.Text(TextId::RestartFailedCaption)});
        }
    }
    os.system.ExitProcess(0);
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
        return Written::Nothing;
    }

    if (!adapter.HasDriverKey()) {
        platform::ShowNotice(os.boxes, AdapterProblem(adapter), NoAdapterCaption);
        return Written::Nothing;
    }

    // An error ended the creation early: the grid, switches and tabs hold what was built, not
    // what the driver has, and writing them would undo the driver's settings unasked.
    if (!created_) {
        platform::ShowNotice(os.boxes, kIncompleteStartText, kIncompleteStartCaption);
        return Written::Nothing;
    }

    for (std::size_t k = 1; k <= RefreshGrid::RowCount; ++k)
        Grid.StoreRow(k);
    // The machine as this window read it at its creation, and what it shows now.
    Machine machine;
    machine.adapter = adapter;
    machine.modes = state.ModeTable;
    for (std::size_t i = 0; i < machine.modes.size() && i < initialSelected_.size(); ++i)
        machine.modes[i].Selected = initialSelected_[i];
    machine.modeEnumFlags = state.ModeEnumFlags;
    machine.options = DriverOptions->InForce();
    machine.depths = initialDepths_;
    Choice choice;
    choice.rates = state.ModeTable;
    for (std::size_t i = 0; i < ColourDepths.size(); ++i)
        choice.depths[i] = ColourDepths[i]->Checked();
    choice.refuseHigher = cbHiFreq.Checked();
    choice.options = DriverOptions->Chosen();
    ApplyPolicy policy;
    policy.nonStandardChanged = state.NonStdModesChanged;

    ApplyOutcome outcome = ApplyChoice(os, MachineRegistry, machine, choice, policy, language);
    // With no depth allowed, 32 bits per pixel was.
    for (std::size_t i = 0; i < ColourDepths.size(); ++i)
        ColourDepths[i]->SetChecked(outcome.depths[i]);
    if (!outcome.Written()) return Written::Nothing;
    return outcome.restartNeeded ? Written::RestartNeeded : Written::Done;
}
