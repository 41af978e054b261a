#pragma once
// Display devices with their modes. Like Wine, a mode change must name the width and height;
// one stored with CdsUpdateRegistry is what a change without a record goes back to.

#include <functional>
#include <optional>
#include <vector>

#include "platform/Display.h"

namespace platform {

class FakeDisplay : public Display {
public:
    struct Device {
        DisplayDevice device;
        std::vector<DisplayMode> modes;     // what the enumeration reports
        std::vector<DisplayMode> rawModes;  // reported only with EdsRawMode
        std::size_t current = 0;            // index into `modes`
        // The mode stored in the registry, which a change without a record restores; until a
        // change stores one, the mode in force before the first change.
        std::optional<std::size_t> stored;
        std::vector<DisplayDevice> monitors;  // the monitors on this adapter, in order
    };

    bool EnumDevice(std::uint32_t index, DisplayDevice* device) override;
    bool EnumMonitor(const std::string& adapterName, std::uint32_t index,
                     DisplayDevice* monitor) override;
    bool EnumMode(const std::string& deviceName, std::uint32_t modeNum, std::uint32_t flags,
                  DisplayMode* mode) override;
    void EnumModes(const std::string& deviceName, std::uint32_t lastModeNum, std::uint32_t flags,
                   ModeSink& sink) override;
    std::int32_t ChangeSettings(const std::string& deviceName, const DisplayMode* mode,
                                std::uint32_t flags) override;

    // Test side.
    Device& AddDevice(const std::string& name, const std::string& description,
                      std::uint32_t stateFlags, const std::string& deviceKey);
    // Adds `width`x`height` at each rate, in the order given, at 32 bits per pixel.
    void AddModes(Device& device, std::uint32_t width, std::uint32_t height,
                  const std::vector<std::uint32_t>& rates);
    std::vector<Device> devices;
    std::vector<DisplayMode> changes;    // every successful change, in order
    std::function<void()> beforeChange;  // runs as each change is asked for

private:
    Device* Find(const std::string& name);
    // The device flagged primary; the first one when none is.
    Device* Primary();
};

DisplayMode MakeMode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                     std::uint32_t frequency);

}  // namespace platform
