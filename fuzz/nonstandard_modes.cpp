// The driver's non-standard resolutions as its four values may hold them: the input is
// "DALNonStandardModesBCD", and its second half is also "DALNonStandardModesBCD2", so that the
// merge of several values is reached. What the list window shows is read, saved and read
// again: a list that can be saved comes back the same.

#include "fuzz/FuzzMachine.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "nonstandard/NonStdModes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    win.registry.Seed(fuzz::DriverKey, NonStandardModesValues[0], platform::RegBinary,
                      fuzz::Bytes(data, size));
    win.registry.Seed(fuzz::DriverKey, NonStandardModesValues[2], platform::RegBinary,
                      fuzz::Bytes(data + size / 2, size - size / 2));
    RegistryCursor cursor(win.registry);
    NonStdModeList modes;
    try {
        LoadNonStdModes(cursor, fuzz::DriverKey, modes);
    } catch (const RegistryError&) {
        fuzz::Require(size > ModeListBufferSize);  // only a value too long for the buffer
    }
    for (std::size_t i = 0; i < modes.size(); ++i) {
        fuzz::Require(modes[i].Width != 0 && modes[i].Height != 0);
        for (std::size_t j = 0; j < i; ++j)
            fuzz::Require(!(modes[i] == modes[j]));
        fuzz::Require(!FormatNonStdMode(modes[i]).empty());
    }
    if (!NonStdModesSaveProblem(modes).empty()) return 0;

    bool changed = false;
    SaveNonStdModes(cursor, fuzz::DriverKey, modes, changed);
    fuzz::Require(changed);
    NonStdModeList reread;
    LoadNonStdModes(cursor, fuzz::DriverKey, reread);
    fuzz::Require(reread == modes);
    return 0;
}
