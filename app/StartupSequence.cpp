// The main window's creation sequence and its first paint.

#include "adapters/AdapterDiscovery.h"
#include "app/Program.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

namespace {

constexpr char kCardDatabase[] = "ati.pci";
constexpr char kUndisabledQuestion[] =
    "Undisabled refresh rate detected. Strongly recommendated to restore previsious registry "
    "data. Restore now?";
constexpr char kUndisabledCaption[] = "Error";

}  // namespace

void TForm1::FormCreate() {
    platform::Platform& os = program.os;
    AdapterState& adapter = program.adapter;

    // A fresh registry cursor on the settings key, created when missing.
    program.MachineRegistry = std::make_unique<RegistryCursor>(os.registry);
    program.MachineRegistry->OpenKey(SettingsKeyFromRoot, true);

    // Started from its own directory (the card database lies beside it): remember it.
    if (os.files.ReadAll(kCardDatabase)) SaveInstallDir(os);

    DiscoverAdapters(os.display, adapter);
    if (!adapter.HasDriverKey()) {
        os.boxes.Show(NoAdapterText, NoAdapterCaption, platform::Buttons::Ok, platform::Icon::None);
    }

    // The driver prunes its modes by the monitor's abilities unless told otherwise; then
    // the enumeration asks for all modes.
    std::uint16_t pruning = 0x00FF;
    if (adapter.HasDriverKey())
        ReadRegWord(os.registry, adapter.DriverKey, PruningModeValue, pruning);
    program.ModeEnumFlags = pruning == 0 ? platform::EdsRawMode : 0;

    program.ModeTable.clear();
    if (!adapter.DisplayDeviceName.empty()) {
        EnumerateModes(os.display, adapter.DisplayDeviceName, program.ModeEnumFlags,
                       program.ModeTable);
    }

    program.WinVerText = WindowsVersionText(os.system.Version());
    SetCaption(Caption() + " " + ProgramVersion);

    ModeListBuffer restricted;
    if (adapter.HasDriverKey()) {
        restricted = ReadRestrictedModes(*program.MachineRegistry, adapter.DriverKey);
    }

    DriverOptions->ReadDriverSwitches(os.registry, adapter);

    std::vector<RestrictionRecord> records = DecodeRestrictedModes(restricted);
    if (MergeRestrictions(program.ModeTable, records)) {
        // The driver does not refuse a rate its list names: the list is not in force, most
        // likely because the registry was changed behind the program's back.
        if (os.boxes.Show(kUndisabledQuestion, kUndisabledCaption, platform::Buttons::YesNo,
                          platform::Icon::None) == platform::Answer::Yes) {
            program.RestoreWanted = true;
        }
    }
    SortModeTable(program.ModeTable);
    DeriveSelected(program.ModeTable, records);
    Grid.FillGrid();

    ReadClassIds(os.registry, adapter);
    lbClassID.SetCaption(adapter.ClassID);
    lbVideoID.SetCaption(adapter.VideoID);

    DriverOptions->ReadDriverTabs(os.registry);

    IdentifyCard(os.registry, adapter);
    lbChip().SetCaption(adapter.Chip);
    lbDRVver().SetCaption(adapter.DriverVersion);
    lbVendorID().SetCaption(adapter.VendorId);
    lbDevID().SetCaption(adapter.DeviceId);
    lbSSID1().SetCaption(adapter.SubsysId);
    lbSSID2().SetCaption(adapter.SubsysVendorId);
    lbRev().SetCaption(adapter.RevisionId);

    SaveInitialState();
}

void TForm1::FormPaint() {
    if (!program.FirstPaint) return;
    // Cleared before the actions, not after: a repaint while one of their message boxes is
    // open, or after one of them failed, must not run them a second time.
    program.FirstPaint = false;
    if (program.RestoreWanted) {
        bRestore.Click();
        return;
    }
    program.CheckMode = HasCheckSwitch(program.os.system.CommandLine());
    if (program.CheckMode) {
        program.CreateCheckWindow();
        return;
    }
    TakeStartBackup();
    FirstRunCheck();
}
