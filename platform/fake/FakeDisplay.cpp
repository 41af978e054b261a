#include "platform/fake/FakeDisplay.h"

#include "platform/CaseFold.h"

namespace platform {

DisplayMode MakeMode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                     std::uint32_t frequency) {
    return DisplayMode{DmPelsWidth | DmPelsHeight | DmBitsPerPel | DmDisplayFrequency, bits, width,
                       height, frequency};
}

bool FakeDisplay::EnumDevice(std::uint32_t index, DisplayDevice* device) {
    if (index >= devices.size()) return false;
    *device = devices[index].device;
    return true;
}

bool FakeDisplay::EnumMonitor(const std::string& adapterName, std::uint32_t index,
                              DisplayDevice* monitor) {
    Device* d = Find(adapterName);
    if (!d || index >= d->monitors.size()) return false;
    *monitor = d->monitors[index];
    return true;
}

FakeDisplay::Device* FakeDisplay::Find(const std::string& name) {
    for (Device& d : devices) {
        if (SameIgnoringCase(d.device.deviceName, name)) return &d;
    }
    return nullptr;
}

FakeDisplay::Device* FakeDisplay::Primary() {
    for (Device& d : devices) {
        if (d.device.stateFlags & DisplayDevicePrimaryDevice) return &d;
    }
    return devices.empty() ? nullptr : &devices.front();
}

bool FakeDisplay::EnumMode(const std::string& deviceName, std::uint32_t modeNum,
                           std::uint32_t flags, DisplayMode* mode) {
    Device* d = Find(deviceName);
    if (!d) return false;
    if (modeNum == EnumCurrentSettings || modeNum == EnumRegistrySettings) {
        std::size_t index = modeNum == EnumRegistrySettings && d->stored ? *d->stored : d->current;
        if (index >= d->modes.size()) return false;
        *mode = d->modes[index];
        return true;
    }
    std::size_t n = modeNum;
    if (n < d->modes.size()) {
        *mode = d->modes[n];
        return true;
    }
    n -= d->modes.size();
    if ((flags & EdsRawMode) && n < d->rawModes.size()) {
        *mode = d->rawModes[n];
        return true;
    }
    return false;
}

void FakeDisplay::EnumModes(const std::string& deviceName, std::uint32_t lastModeNum,
                            std::uint32_t flags, ModeSink& sink) {
    Device* d = Find(deviceName);
    if (!d) return;
    std::uint64_t count = std::uint64_t{lastModeNum} + 1;
    for (const std::vector<DisplayMode>* list : {&d->modes, &d->rawModes}) {
        if (list == &d->rawModes && !(flags & EdsRawMode)) return;
        for (const DisplayMode& mode : *list) {
            if (count-- == 0 || !sink.Take(mode)) return;
        }
    }
}

std::int32_t FakeDisplay::ChangeSettings(const std::string& deviceName, const DisplayMode* mode,
                                         std::uint32_t flags) {
    if (beforeChange) beforeChange();
    Device* device = deviceName.empty() ? Primary() : Find(deviceName);
    if (!device) return DispChangeBadMode;
    Device& d = *device;
    if (!d.stored) d.stored = d.current;
    if (!mode) {
        if (*d.stored >= d.modes.size()) return DispChangeBadMode;
        d.current = *d.stored;
        changes.push_back(d.modes[d.current]);
        return DispChangeSuccessful;
    }
    if ((mode->fields & (DmPelsWidth | DmPelsHeight)) != (DmPelsWidth | DmPelsHeight)) {
        return DispChangeBadMode;
    }
    for (std::size_t i = 0; i < d.modes.size(); ++i) {
        const DisplayMode& m = d.modes[i];
        if (m.width != mode->width || m.height != mode->height) continue;
        if ((mode->fields & DmBitsPerPel) && m.bitsPerPel != mode->bitsPerPel) continue;
        if ((mode->fields & DmDisplayFrequency) && m.frequency != mode->frequency) continue;
        if (flags & CdsTest) return DispChangeSuccessful;
        if (flags & CdsUpdateRegistry) d.stored = i;
        if ((flags & (CdsUpdateRegistry | CdsNoReset)) == (CdsUpdateRegistry | CdsNoReset))
            return DispChangeSuccessful;
        d.current = i;
        changes.push_back(m);
        return DispChangeSuccessful;
    }
    return DispChangeBadMode;
}

FakeDisplay::Device& FakeDisplay::AddDevice(const std::string& name, const std::string& description,
                                            std::uint32_t stateFlags,
                                            const std::string& deviceKey) {
    devices.push_back(Device{
        DisplayDevice{name, description, stateFlags, deviceKey, {}}, {}, {}, 0, std::nullopt, {}});
    return devices.back();
}

void FakeDisplay::AddModes(Device& device, std::uint32_t width, std::uint32_t height,
                           const std::vector<std::uint32_t>& rates) {
    for (std::uint32_t rate : rates)
        device.modes.push_back(MakeMode(width, height, 32, rate));
}

}  // namespace platform
