#include "adapters/AdapterDiscovery.h"

#include "adapters/AtiLocations.h"
#include "platform/CaseFold.h"
#include "services/Format.h"
#include "services/RegistryValues.h"

namespace {

constexpr char kKernelMachinePrefix[] = "\\Registry\\Machine\\";
constexpr std::size_t kMaxDevices = 256;

// Cuts the text at the first occurrence of `marker`.
std::string CutAt(const std::string& text, const std::string& marker) {
    std::size_t at = text.find(marker);
    return at == std::string::npos ? text : text.substr(0, at);
}

// Reads each (key, value) in turn; every value that exists replaces the text.
std::string LastThatExists(platform::Registry& registry, std::string text,
                           std::initializer_list<std::pair<const char*, const char*>> sources) {
    for (const auto& [key, value] : sources)
        ReadRegString(registry, key, value, text);
    return text;
}

}  // namespace

std::string DriverKeyOf(const std::string& deviceKey) {
    const std::size_t n = sizeof kKernelMachinePrefix - 1;
    if (deviceKey.size() <= n || !platform::StartsIgnoringCase(deviceKey, kKernelMachinePrefix)) {
        return "";
    }
    return deviceKey.substr(n);
}

std::string AdapterProblem(const AdapterState& adapter) {
    if (adapter.HasDriverKey()) return "";
    if (adapter.AdapterList.empty() || adapter.AdapterList[0].deviceName.empty()) {
        return NoAdapterText;
    }
    const AdapterSlot& first = adapter.AdapterList[0];
    return FormatText(FormatText(NoDriverKeyText, first.name), first.key);
}

void DiscoverAdapters(platform::Display& display, AdapterState& adapter) {
    adapter.AdapterList.clear();
    adapter.AdapterCount = 0;
    platform::DisplayDevice device;
    for (std::uint32_t i = 0; i < kMaxDevices && display.EnumDevice(i, &device); ++i) {
        // Devices with no state flag, and mirroring drivers, are not adapters.
        if ((device.stateFlags | platform::DisplayDeviceMirroringDriver) ==
            platform::DisplayDeviceMirroringDriver) {
            continue;
        }
        adapter.AdapterList.resize(i + 1);
        adapter.AdapterList[i] =
            AdapterSlot{device.deviceString, device.deviceKey, device.deviceName};
        adapter.AdapterCount = static_cast<std::uint8_t>(i + 1);
    }
    const AdapterSlot none;
    const AdapterSlot& first = adapter.AdapterList.empty() ? none : adapter.AdapterList[0];
    adapter.DriverKey = DriverKeyOf(first.key);
    adapter.DdhalKey = adapter.HasDriverKey() ? adapter.DriverKey + ati::DdhalSubkey : "";
    adapter.DisplayDeviceName = first.deviceName;
}

void ReadClassIds(platform::Registry& registry, AdapterState& adapter) {
    adapter.ClassID.clear();
    adapter.VideoID.clear();
    std::string hardwareKey;
    if (ReadRegString(registry, ati::CdsDriverKey, ati::HardwareRegKeyValue, hardwareKey) !=
        RegDone) {
        return;
    }
    hardwareKey = CutAt(hardwareKey, " ");
    if (hardwareKey.empty()) return;  // never the root of the machine's keys

    ReadRegString(registry, hardwareKey, ati::ClassDriverValue, adapter.ClassID);
    adapter.ClassID = CutAt(adapter.ClassID, "\\0000");

    std::string videoId;
    ReadRegString(registry, hardwareKey + ati::DeviceParametersSubkey, ati::VideoIdValue, videoId);
    videoId = CutAt(videoId, "\\0000");
    std::size_t brace = videoId.find('}');
    adapter.VideoID = brace == std::string::npos ? "" : videoId.substr(0, brace + 1);
}

std::string CutIdentifier(const std::string& instanceId, const std::string& marker,
                          std::size_t skip, std::size_t keep) {
    std::size_t found = instanceId.find(marker);
    std::size_t position = found == std::string::npos ? 0 : found + 1;  // counted from 1
    std::size_t drop = position + skip;
    if (drop >= instanceId.size()) return "";
    return instanceId.substr(drop, keep);
}

void IdentifyCard(platform::Registry& registry, AdapterState& adapter) {
    adapter.Chip = CutAt(LastThatExists(registry, NotFoundPreset,
                                        {{ati::CdsAsicKey, ati::ChipIdValue},
                                         {ati::Ati2mtagDevice0Key, ati::DeviceDescriptionValue}}),
                         "<");
    adapter.DriverVersion = CutAt(LastThatExists(registry, NotFoundPreset,
                                                 {{ati::DisplayClassKey, ati::DriverVersionValue},
                                                  {ati::CdsDriverKey, ati::VersionValue},
                                                  {ati::CbtKey, ati::ReleaseVersionValue}}),
                                  "(");
    std::string id;
    for (const char* key : ati::ServiceEnumKeys)
        ReadRegString(registry, key, ati::EnumFirstValue, id);
    adapter.DeviceInstanceId = id;
    adapter.VendorId = CutIdentifier(id, "VEN_", 3, 4);
    adapter.DeviceId = CutIdentifier(id, "DEV_", 3, 4);
    adapter.SubsysId = CutIdentifier(id, "SUBSYS_", 6, 4);
    adapter.SubsysVendorId = CutIdentifier(id, "SUBSYS_", 10, 4);
    adapter.RevisionId = CutIdentifier(id, "REV_", 3, 2);
}
