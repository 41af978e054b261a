#include "platform/win32/Win32Display.h"

#include <windows.h>

namespace platform {

namespace {

// Device `index` below `parent`: the adapters for none, an adapter's monitors for its name.
bool EnumDisplayDevice(const char* parent, std::uint32_t index, DisplayDevice* device) {
    DISPLAY_DEVICEA record{};
    record.cb = sizeof record;
    if (!EnumDisplayDevicesA(parent, index, &record, 0)) return false;
    *device = DisplayDevice{record.DeviceName, record.DeviceString, record.StateFlags,
                            record.DeviceKey, record.DeviceID};
    return true;
}

}  // namespace

bool Win32Display::EnumDevice(std::uint32_t index, DisplayDevice* device) {
    return EnumDisplayDevice(nullptr, index, device);
}

bool Win32Display::EnumMonitor(const std::string& adapterName, std::uint32_t index,
                               DisplayDevice* monitor) {
    return EnumDisplayDevice(adapterName.c_str(), index, monitor);
}

bool Win32Display::EnumMode(const std::string& deviceName, std::uint32_t modeNum,
                            std::uint32_t flags, DisplayMode* mode) {
    DEVMODEA record{};
    record.dmSize = sizeof record;
    const char* name = deviceName.empty() ? nullptr : deviceName.c_str();
    if (!EnumDisplaySettingsExA(name, modeNum, &record, flags)) return false;
    *mode = DisplayMode{record.dmFields, record.dmBitsPerPel, record.dmPelsWidth,
                        record.dmPelsHeight, record.dmDisplayFrequency};
    return true;
}

std::int32_t Win32Display::ChangeSettings(const std::string& deviceName, const DisplayMode* mode,
                                          std::uint32_t flags) {
    const char* name = deviceName.empty() ? nullptr : deviceName.c_str();
    if (!mode) return ChangeDisplaySettingsExA(name, nullptr, nullptr, flags, nullptr);
    DEVMODEA record{};
    record.dmSize = sizeof record;
    record.dmFields = mode->fields;
    record.dmBitsPerPel = mode->bitsPerPel;
    record.dmPelsWidth = mode->width;
    record.dmPelsHeight = mode->height;
    record.dmDisplayFrequency = mode->frequency;
    return ChangeDisplaySettingsExA(name, &record, nullptr, flags, nullptr);
}

}  // namespace platform
