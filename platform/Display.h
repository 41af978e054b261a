#pragma once
// Display devices and their modes, as the ANSI display functions of Windows report them.

#include <cstdint>
#include <string>

namespace platform {

struct DisplayDevice {
    std::string deviceName;    // "\\.\DISPLAY1"
    std::string deviceString;  // the adapter's name
    std::uint32_t stateFlags = 0;
    std::string deviceKey;  // "\Registry\Machine\System\...\Video\{GUID}\0000"
    // A monitor's "MONITOR\<model>\{GUID}\0000": its model and its driver key below the
    // monitor class, which the monitor's device key under Enum\DISPLAY names as its "Driver".
    std::string deviceId;
};

constexpr std::uint32_t DisplayDeviceAttachedToDesktop = 0x00000001;
constexpr std::uint32_t DisplayDevicePrimaryDevice = 0x00000004;
constexpr std::uint32_t DisplayDeviceMirroringDriver = 0x00000008;

// The fields of a DEVMODE that this program uses.
struct DisplayMode {
    std::uint32_t fields = 0;  // which of the numbers below are set (Dm... flags)
    std::uint32_t bitsPerPel = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t frequency = 0;
};

constexpr std::uint32_t DmBitsPerPel = 0x00040000;
constexpr std::uint32_t DmPelsWidth = 0x00080000;
constexpr std::uint32_t DmPelsHeight = 0x00100000;
constexpr std::uint32_t DmDisplayFrequency = 0x00400000;

constexpr std::uint32_t EnumCurrentSettings = 0xFFFFFFFF;  // mode number of the current mode
// Mode number of the mode stored in the registry: the one the next start of Windows uses.
constexpr std::uint32_t EnumRegistrySettings = 0xFFFFFFFE;
constexpr std::uint32_t EdsRawMode = 0x00000002;  // modes the monitor may not support

// Flags of a mode change.
constexpr std::uint32_t CdsUpdateRegistry = 0x00000001;  // also store it as the mode to restore
constexpr std::uint32_t CdsTest = 0x00000002;            // only whether the mode would be taken
constexpr std::uint32_t CdsFullscreen = 0x00000004;
// With CdsUpdateRegistry: stored for the next start, the display left as it is for now.
constexpr std::uint32_t CdsNoReset = 0x10000000;

constexpr std::int32_t DispChangeSuccessful = 0;
constexpr std::int32_t DispChangeBadMode = -2;

// What a whole enumeration hands each mode to, in order; false ends the enumeration.
class ModeSink {
public:
    virtual bool Take(const DisplayMode& mode) = 0;

protected:
    ~ModeSink() = default;
};

class Display {
public:
    virtual ~Display() = default;

    // The display device at `index`; false past the last one.
    virtual bool EnumDevice(std::uint32_t index, DisplayDevice* device) = 0;
    // The monitor at `index` on the adapter named `adapterName` ("\\.\DISPLAY1"); false past
    // the last one or for an adapter that does not exist.
    virtual bool EnumMonitor(const std::string& adapterName, std::uint32_t index,
                             DisplayDevice* monitor) = 0;
    // Mode number `modeNum` of the device (or EnumCurrentSettings); false past the last mode.
    virtual bool EnumMode(const std::string& deviceName, std::uint32_t modeNum, std::uint32_t flags,
                          DisplayMode* mode) = 0;
    // Modes 0 to `lastModeNum` of the device into `sink`, until a mode number is past the last
    // mode or the sink wants no more: the modes EnumMode gives one by one, with the device
    // looked up once where an implementation can.
    virtual void EnumModes(const std::string& deviceName, std::uint32_t lastModeNum,
                           std::uint32_t flags, ModeSink& sink) {
        DisplayMode mode;
        for (std::uint32_t modeNum = 0; modeNum <= lastModeNum; ++modeNum) {
            if (!EnumMode(deviceName, modeNum, flags, &mode) || !sink.Take(mode)) return;
            if (modeNum == lastModeNum) return;  // the count must not wrap past the top
        }
    }
    // Switches the named device (empty: the primary display) to `mode` (nullptr: back to its
    // stored mode); DispChange...
    virtual std::int32_t ChangeSettings(const std::string& deviceName, const DisplayMode* mode,
                                        std::uint32_t flags) = 0;
};

}  // namespace platform
