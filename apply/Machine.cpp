#include "apply/Machine.h"

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "adapters/CardDatabase.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

void ReadMachine(platform::Platform& os, RegistryCursor& cursor, Machine& machine) {
    machine = Machine{};
    AdapterState& adapter = machine.adapter;
    DiscoverAdapters(os.display, adapter);
    ReadClassIds(os.registry, adapter);
    IdentifyCard(os.registry, adapter);

    // The driver prunes its modes by the monitor's abilities unless told otherwise; then the
    // enumeration asks for all modes.
    std::uint16_t pruning = 0x00FF;
    ReadRegWord(os.registry, adapter.DriverKey, ati::PruningModeValue, pruning);
    machine.modeEnumFlags = pruning == 0 ? platform::EdsRawMode : 0;
    if (!adapter.DisplayDeviceName.empty())
        EnumerateModes(os.display, adapter.DisplayDeviceName, machine.modeEnumFlags, machine.modes);

    std::vector<RestrictionRecord> records =
        DecodeRestrictedModes(ReadRestrictedModes(cursor, adapter.DriverKey));
    machine.options = ReadDriverOptions(os.registry, adapter);
    machine.listInForce = !MergeRestrictions(machine.modes, records);
    SortModeTable(machine.modes);
    DeriveSelected(machine.modes, records);

    machine.cardType = LookUpCardType(
        os.files, InstallPath(GetInstallDir(os.registry), CardDatabaseFile), adapter);
}

Machine ReadMachine(platform::Platform& os, RegistryCursor& cursor) {
    Machine machine;
    ReadMachine(os, cursor, machine);
    return machine;
}
