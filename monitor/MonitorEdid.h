#pragma once
// The EDID of the monitor on an adapter, from where Windows keeps it: the monitor's device key
// under Enum\DISPLAY\<model>\<instance>, whose "Driver" value names the monitor's driver key,
// holds the EDID in its "Device Parameters".

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/Edid.h"
#include "platform/Platform.h"

namespace monitor {

// The monitors' device keys, one folder per model.
inline constexpr char MonitorEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY";
inline constexpr char MonitorDriverValue[] = "Driver";
inline constexpr char MonitorParametersKey[] = "Device Parameters";
inline constexpr char EdidValue[] = "EDID";

// The device key of the first monitor on the adapter named `adapterName` ("\\.\DISPLAY1"):
// "SYSTEM\CurrentControlSet\Enum\DISPLAY\<model>\<instance>"; empty when there is no monitor
// or no device key names its driver.
std::string MonitorDeviceKey(platform::Display& display, platform::Registry& registry,
                             const std::string& adapterName);

// The EDID bytes of the first monitor on the adapter named `adapterName` ("\\.\DISPLAY1");
// empty when there is no monitor, no device key with its driver, or no binary EDID value.
std::vector<std::uint8_t> MonitorEdidBytes(platform::Display& display, platform::Registry& registry,
                                           const std::string& adapterName);

// Those bytes read: NoEdid when there are none.
Edid ReadMonitorEdid(platform::Display& display, platform::Registry& registry,
                     const std::string& adapterName);

}  // namespace monitor
