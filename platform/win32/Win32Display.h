#pragma once
// Display devices and modes through the ANSI display functions of user32.

#include "platform/Display.h"

namespace platform {

class Win32Display : public Display {
public:
    bool EnumDevice(std::uint32_t index, DisplayDevice* device) override;
    bool EnumMonitor(const std::string& adapterName, std::uint32_t index,
                     DisplayDevice* monitor) override;
    bool EnumMode(const std::string& deviceName, std::uint32_t modeNum, std::uint32_t flags,
                  DisplayMode* mode) override;
    std::int32_t ChangeSettings(const std::string& deviceName, const DisplayMode* mode,
                                std::uint32_t flags) override;
};

}  // namespace platform
