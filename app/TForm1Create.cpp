// The main window's creation sequence and its first paint.

#include <exception>

#include "adapters/AdapterDiscovery.h"
#include "adapters/CardDatabase.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "app/TForm1Language.h"
#include "apply/Machine.h"
#include "safety/PendingChange.h"
#include "services/ExitCodes.h"
#include "services/Format.h"
#include "services/Settings.h"

void TForm1::FormCreate() {
    platform::Platform& os = state.os;
    AdapterState& adapter = state.adapter;

    // The settings key, created when missing.
    MachineRegistry.OpenKey(FromRoot(SettingsKey), true);

    // A check arms itself again before anything else, once per run: Windows has deleted the
    // entry that started it, and a machine switched off now must check again.
    if (state.EarlierCheckStarts < 0 && HasCheckSwitch(os.system.CommandLine()))
        state.EarlierCheckStarts = CountCheckStart(os);

    RememberInstallDir(os);

    if (LoadLanguage(os, state.language)) ApplyLanguage(*this, state.language);

    state.WinVerText = WindowsVersionText(os.system.Version());
    SetCaption(Caption() + " " + ProgramVersion);

    // The machine as it is; after an error, what was read before it: the window shows that
    // much, and OK writes nothing.
    tableBuild_ = ++state.ModeTableBuilds;
    Machine machine;
    std::exception_ptr error;
    try {
        ReadMachine(os, MachineRegistry, machine);
    } catch (const RegistryError&) {
        error = std::current_exception();
    }
    adapter = machine.adapter;
    state.ModeEnumFlags = machine.modeEnumFlags;
    state.ModeTable = machine.modes;
    std::string problem = AdapterProblem(adapter);
    if (!problem.empty()) platform::ShowNotice(os.boxes, problem, NoAdapterCaption);
    if (error) std::rethrow_exception(error);

    DriverOptions->Show(machine.options);
    // The driver does not refuse a rate its list names: the list is not in force, most likely
    // because the registry was changed behind the program's back.
    if (!machine.listInForce &&
        platform::AskYesNo(os.boxes, state.language.Text(TextId::UndisabledQuestion),
                           state.language.Text(TextId::UndisabledCaption))) {
        state.RestoreWanted = true;
    }
    Grid.FillGrid();

    lbClassID.SetCaption(adapter.ClassID);
    lbVideoID.SetCaption(adapter.VideoID);

    lbChip().SetCaption(adapter.Chip);
    lbDRVver().SetCaption(adapter.DriverVersion);
    lbVendorID().SetCaption(adapter.VendorId);
    lbDevID().SetCaption(adapter.DeviceId);
    lbSSID1().SetCaption(adapter.SubsysId);
    lbSSID2().SetCaption(adapter.SubsysVendorId);
    lbRev().SetCaption(adapter.RevisionId);

    // Without its card database the program does not start: it ends before the window shows.
    const std::optional<std::string>& card = machine.cardType;
    if (!card) {
        platform::ShowNotice(os.boxes, NoCardDatabaseText, NoCardDatabaseCaption);
        os.system.ExitProcess(state.CommandMode ? exitcode::NotFound : 0);
    }
    lbCardType().SetCaption(*card);

    SaveInitialState();
    created_ = true;
}

void TForm1::FormPaint() {
    if (!state.FirstPaint) return;
    // Cleared before the actions, not after: a repaint while one of their message boxes is
    // open, or after one of them failed, must not run them a second time.
    state.FirstPaint = false;
    if (state.RestoreWanted) {
        bRestore.Click();
        return;
    }
    state.CheckMode = HasCheckSwitch(state.os.system.CommandLine());
    if (state.CheckMode) {
        windows_.CreateCheckWindow();
        return;
    }
    if (std::optional<std::string> date = TakeUnconfirmedChange(state.os)) {
        const LanguageState& language = state.language;
        platform::ShowNotice(state.os.boxes,
                             FormatText(language.Text(TextId::UnconfirmedChangeUndone), *date),
                             language.Text(TextId::UnconfirmedChangeCaption));
    }
    if (std::optional<std::string> date = TakeChangeNotUndone(state.os)) {
        platform::ShowNotice(state.os.boxes, FormatText(ChangeNotUndoneText, *date),
                             ChangeNotUndoneCaption);
    }
    TakeStartBackup();
    FirstRunCheck();
}
