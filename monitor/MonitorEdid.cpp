#include "monitor/MonitorEdid.h"

#include "platform/CaseFold.h"
#include "services/RegistryValues.h"

namespace monitor {
namespace {

// The largest EDID there can be: the base block and 255 extension blocks.
constexpr std::uint32_t kMaxEdidSize = 256 * EdidBlockSize;

// A monitor's device id, "MONITOR\<model>\<driver>", cut into the model and its driver key
// ("{4D36E96E-...}\0001"); false when it has not that form.
bool SplitDeviceId(const std::string& deviceId, std::string* model, std::string* driver) {
    std::size_t first = deviceId.find('\\');
    if (first == std::string::npos) return false;
    std::size_t second = deviceId.find('\\', first + 1);
    if (second == std::string::npos) return false;
    *model = deviceId.substr(first + 1, second - first - 1);
    *driver = deviceId.substr(second + 1);
    return !model->empty() && !driver->empty();
}

// The device key below `modelKey` whose "Driver" is `driver`; empty when none is.
std::string InstanceKey(platform::Registry& registry, const std::string& modelKey,
                        const std::string& driver) {
    platform::RegKey key = 0;
    if (registry.OpenKey(modelKey, platform::KeyRead, false, &key) != platform::RegStatus::Ok) {
        return {};
    }
    std::string found;
    std::string instance;
    for (std::uint32_t i = 0; registry.EnumSubkey(key, i, &instance) == platform::RegStatus::Ok;
         ++i) {
        std::string path = modelKey + "\\" + instance;
        std::string value;
        ReadRegBytes(registry, path, MonitorDriverValue, value);
        // A string stored with its terminator reads back with it.
        value = value.substr(0, value.find('\0'));
        if (platform::SameIgnoringCase(value, driver)) {
            found = path;
            break;
        }
    }
    registry.CloseKey(key);
    return found;
}

}  // namespace

std::string MonitorDeviceKey(platform::Display& display, platform::Registry& registry,
                             const std::string& adapterName) {
    platform::DisplayDevice monitor;
    std::string model, driver;
    if (adapterName.empty() || !display.EnumMonitor(adapterName, 0, &monitor) ||
        !SplitDeviceId(monitor.deviceId, &model, &driver)) {
        return {};
    }
    return InstanceKey(registry, std::string(MonitorEnumKey) + "\\" + model, driver);
}

std::vector<std::uint8_t> MonitorEdidBytes(platform::Display& display, platform::Registry& registry,
                                           const std::string& adapterName) {
    std::string device = MonitorDeviceKey(display, registry, adapterName);
    if (device.empty()) return {};
    std::vector<std::uint8_t> bytes;
    ReadRegBinary(registry, device + "\\" + MonitorParametersKey, EdidValue, kMaxEdidSize, bytes);
    return bytes;
}

Edid ReadMonitorEdid(platform::Display& display, platform::Registry& registry,
                     const std::string& adapterName) {
    return ReadEdid(MonitorEdidBytes(display, registry, adapterName));
}

}  // namespace monitor
