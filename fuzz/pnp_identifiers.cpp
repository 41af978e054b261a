// The texts the card is identified by, as the ATI driver's keys may hold them: the input's
// lines are the device instance id ("PCI\VEN_1002&DEV_4E44&SUBSYS_00021002&REV_00\..."), the
// chip, the driver version, the hardware key, its class driver and its VideoID. Each is cut as
// the main window's creation cuts it.

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "fuzz/FuzzMachine.h"

namespace {

constexpr char kHardwareKey[] = "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1002&DEV_4E44\\4&1";

bool PartOf(const std::string& part, const std::string& whole) {
    return whole.find(part) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines = fuzz::Fields(data, size, '\n', 6);
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    auto& registry = win.registry;
    registry.SeedString(ati::ServiceEnumKeys[1], ati::EnumFirstValue, lines[0]);
    registry.SeedString(ati::CdsAsicKey, ati::ChipIdValue, lines[1]);
    registry.SeedString(ati::CbtKey, ati::ReleaseVersionValue, lines[2]);
    // The hardware key names itself, with what follows a blank cut off.
    registry.SeedString(ati::CdsDriverKey, ati::HardwareRegKeyValue,
                        lines[3].empty() ? kHardwareKey : lines[3]);
    std::string hardwareKey = lines[3].substr(0, lines[3].find(' '));
    if (hardwareKey.empty()) hardwareKey = kHardwareKey;
    registry.SeedString(hardwareKey, ati::ClassDriverValue, lines[4]);
    registry.SeedString(hardwareKey + ati::DeviceParametersSubkey, ati::VideoIdValue, lines[5]);

    AdapterState adapter;
    ReadClassIds(registry, adapter);
    IdentifyCard(registry, adapter);
    for (const std::string* id : {&adapter.VendorId, &adapter.DeviceId, &adapter.SubsysId,
                                  &adapter.SubsysVendorId, &adapter.RevisionId}) {
        fuzz::Require(id->size() <= 4 && PartOf(*id, adapter.DeviceInstanceId));
    }
    fuzz::Require(adapter.Chip.find('<') == std::string::npos);
    fuzz::Require(adapter.DriverVersion.find('(') == std::string::npos);
    fuzz::Require(adapter.VideoID.empty() || adapter.VideoID.back() == '}');
    return 0;
}
