// The main window's creation sequence and its first paint.

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "adapters/CardDatabase.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "app/TForm1Language.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "safety/PendingChange.h"
#include "services/ExitCodes.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
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

    DiscoverAdapters(os.display, adapter);
    std::string problem = AdapterProblem(adapter);
    if (!problem.empty()) {
        platform::ShowNotice(os.boxes, problem, NoAdapterCaption);
    }

    // The driver prunes its modes by the monitor's abilities unless told otherwise; then
    // the enumeration asks for all modes.
    std::uint16_t pruning = 0x00FF;
    ReadRegWord(os.registry, adapter.DriverKey, ati::PruningModeValue, pruning);
    state.ModeEnumFlags = pruning == 0 ? platform::EdsRawMode : 0;

    state.ModeTable.clear();
    tableBuild_ = ++state.ModeTableBuilds;
    if (!adapter.DisplayDeviceName.empty()) {
        EnumerateModes(os.display, adapter.DisplayDeviceName, state.ModeEnumFlags, state.ModeTable);
    }

    state.WinVerText = WindowsVersionText(os.system.Version());
    SetCaption(Caption() + " " + ProgramVersion);

    ModeListBuffer restricted = ReadRestrictedModes(MachineRegistry, adapter.DriverKey);

    DriverOptions->Show(ReadDriverOptions(os.registry, adapter));

    std::vector<RestrictionRecord> records = DecodeRestrictedModes(restricted);
    if (MergeRestrictions(state.ModeTable, records)) {
        // The driver does not refuse a rate its list names: the list is not in force, most
        // likely because the registry was changed behind the program's back.
        if (platform::AskYesNo(os.boxes, state.language.Text(TextId::UndisabledQuestion),
                               state.language.Text(TextId::UndisabledCaption))) {
            state.RestoreWanted = true;
        }
    }
    SortModeTable(state.ModeTable);
    DeriveSelected(state.ModeTable, records);
    Grid.FillGrid();

    ReadClassIds(os.registry, adapter);
    lbClassID.SetCaption(adapter.ClassID);
    lbVideoID.SetCaption(adapter.VideoID);

    IdentifyCard(os.registry, adapter);
    lbChip().SetCaption(adapter.Chip);
    lbDRVver().SetCaption(adapter.DriverVersion);
    lbVendorID().SetCaption(adapter.VendorId);
    lbDevID().SetCaption(adapter.DeviceId);
    lbSSID1().SetCaption(adapter.SubsysId);
    lbSSID2().SetCaption(adapter.SubsysVendorId);
    lbRev().SetCaption(adapter.RevisionId);

    // Without its card database the program does not start: it ends before the window shows.
    std::optional<std::string> card = LookUpCardType(
        os.files, InstallPath(GetInstallDir(os.registry), CardDatabaseFile), adapter);
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
