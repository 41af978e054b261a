#include "modes/ModeTable.h"

#include <algorithm>
#include <bitset>

namespace {

bool Holds(const std::vector<std::uint8_t>& rates, std::uint32_t rate) {
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

bool SameSize(const ModeEntry& entry, const RestrictionRecord& record) {
    return entry.Width == record.Width && entry.Height == record.Height;
}

// Zero stands for "any" in a driver record; such records name no single mode.
bool NamesOneMode(const RestrictionRecord& record) {
    return record.Width != 0 && record.Height != 0 && record.Rate != 0 &&
           record.Rate <= HighestRate;
}

}  // namespace

void EnumerateModes(platform::Display& display, const std::string& deviceName, std::uint32_t flags,
                    ModeTable& table) {
    table.clear();
    std::uint16_t lastWidth = 0;
    std::uint16_t lastHeight = 0;
    // The rates the last entry holds, so that a repeat (each size comes once per colour
    // depth) costs no search of its list.
    std::bitset<HighestRate + 1> lastRates;
    platform::DisplayMode mode;
    for (std::uint32_t modeNum = 0; modeNum <= LastModeNumber; ++modeNum) {
        if (!display.EnumMode(deviceName, modeNum, flags, &mode)) break;
        if (mode.width == 0 || mode.height == 0 || mode.frequency == 0) continue;
        // A size or rate the table cannot hold would be stored as a different one.
        if (mode.width > UINT16_MAX || mode.height > UINT16_MAX || mode.frequency > HighestRate) {
            continue;
        }
        auto width = static_cast<std::uint16_t>(mode.width);
        auto height = static_cast<std::uint16_t>(mode.height);
        if (width != lastWidth || height != lastHeight) {
            // The system lists its modes by width; a smaller width starts a second listing
            // (other colour depths, say) that repeats what was already seen.
            if (width < lastWidth) break;
            lastWidth = width;
            lastHeight = height;
            table.push_back(ModeEntry{height, width, {}, 0});
            lastRates.reset();
        }
        if (lastRates.test(mode.frequency)) continue;
        lastRates.set(mode.frequency);
        table.back().Rates.push_back(static_cast<std::uint8_t>(mode.frequency));
    }
}

bool MergeRestrictions(ModeTable& table, const std::vector<RestrictionRecord>& records) {
    bool undisabledFound = false;
    for (const RestrictionRecord& record : records) {
        if (!NamesOneMode(record)) continue;
        bool sizeFound = false;
        for (ModeEntry& entry : table) {
            if (!SameSize(entry, record)) continue;
            if (Holds(entry.Rates, record.Rate)) {
                undisabledFound = true;
            } else if (!sizeFound) {
                entry.Rates.push_back(static_cast<std::uint8_t>(record.Rate));
            }
            sizeFound = true;
        }
        if (!sizeFound) {
            table.push_back(ModeEntry{
                record.Height, record.Width, {static_cast<std::uint8_t>(record.Rate)}, 0});
        }
    }
    return undisabledFound;
}

void SortModeTable(ModeTable& table) {
    std::stable_sort(table.begin(), table.end(), [](const ModeEntry& a, const ModeEntry& b) {
        return a.Width != b.Width ? a.Width < b.Width : a.Height < b.Height;
    });
    for (ModeEntry& entry : table)
        std::sort(entry.Rates.begin(), entry.Rates.end());
}

void DeriveSelected(ModeTable& table, const std::vector<RestrictionRecord>& records) {
    // The rates listed for an entry form a set: the program writes them from the lowest up, but
    // a list in another order (another tool's, or one listing a rate twice) must not make a
    // refused rate look like the one in force, or an OK without any change would lift it.
    for (ModeEntry& entry : table) {
        std::bitset<256> listed;
        for (const RestrictionRecord& record : records) {
            if (NamesOneMode(record) && SameSize(entry, record)) listed.set(record.Rate);
        }
        entry.Selected = entry.Rates.empty() ? 0 : NoRateLeft;
        auto free = std::find_if(entry.Rates.begin(), entry.Rates.end(),
                                 [&](std::uint8_t rate) { return !listed.test(rate); });
        if (free != entry.Rates.end()) entry.Selected = *free;
    }
}
