// "DALRestrictedModesBCD" as the driver key may hold it: read through the list buffer, cut into
// records and merged into the table of the modes the display reports, as every start does.
// Whatever the value, the rates in force that come out must be what the program writes back:
// encoding the table and reading that list again gives every resolution the same rate.

#include <algorithm>

#include "fuzz/FuzzMachine.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"

namespace {

constexpr char kDevice[] = "\\\\.\\DISPLAY1";

// The demo adapter's display: four resolutions at the rates a CRT monitor of its time offers.
ModeEntries DisplayModes(platform::FakeWindows& win) {
    auto& device = win.display.AddDevice(kDevice, "RADEON 9700 PRO",
                                         platform::DisplayDeviceAttachedToDesktop, "");
    win.display.AddModes(device, 640, 480, {60, 72, 75, 85, 100, 120, 160, 200});
    win.display.AddModes(device, 800, 600, {56, 60, 72, 75, 85});
    win.display.AddModes(device, 1024, 768, {60, 70, 75, 85});
    win.display.AddModes(device, 1600, 1200, {60, 75, 85, 100});
    ModeEntries table;
    EnumerateModes(win.display, kDevice, 0, table);
    return table;
}

ModeEntries TableFor(const ModeEntries& displayModes,
                     const std::vector<RestrictionRecord>& records) {
    ModeEntries table = displayModes;
    MergeRestrictions(table, records);
    SortModeTable(table);
    DeriveSelected(table, records);
    return table;
}

bool FitsList(const ModeEntry& entry) {
    return entry.Width <= LargestBcdField && entry.Height <= LargestBcdField;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    win.registry.Seed(fuzz::DriverKey, RestrictedModesValue, platform::RegBinary,
                      fuzz::Bytes(data, size));
    RegistryCursor cursor(win.registry);
    ModeListBuffer list;
    try {
        list = ReadRestrictedModes(cursor, fuzz::DriverKey);
    } catch (const RegistryError&) {
        fuzz::Require(size > ModeListBufferSize);  // only a value too long for the buffer
        return 0;
    }
    fuzz::Require(list.size == size);
    std::vector<RestrictionRecord> records = DecodeRestrictedModes(list);
    fuzz::Require(records.size() <= size / ModeRecordSize);

    const ModeEntries displayModes = DisplayModes(win);
    const ModeEntries table = TableFor(displayModes, records);
    for (const ModeEntry& entry : table) {
        fuzz::Require(std::is_sorted(entry.Rates.begin(), entry.Rates.end()));
        bool listed =
            std::find(entry.Rates.begin(), entry.Rates.end(), entry.Selected) != entry.Rates.end();
        fuzz::Require(listed || entry.Selected == NoRateLeft ||
                      (entry.Selected == 0 && entry.Rates.empty()));
    }

    std::vector<std::uint8_t> written =
        EncodeRestrictedModes(table, false, {true, true, true, true});
    if (!ModeListFits(written)) return 0;  // refused by OK before anything is written
    const ModeEntries reread =
        TableFor(displayModes, DecodeRestrictedModes(written.data(), written.size()));
    for (const ModeEntry& entry : table) {
        if (!FitsList(entry)) continue;
        auto same = std::find_if(reread.begin(), reread.end(), [&](const ModeEntry& e) {
            return e.Width == entry.Width && e.Height == entry.Height;
        });
        // A resolution the display does not report comes back only while it has a rate disabled.
        if (same == reread.end()) {
            fuzz::Require(entry.Selected == entry.Rates.front());
            continue;
        }
        fuzz::Require(same->Selected == entry.Selected);
    }
    return 0;
}
