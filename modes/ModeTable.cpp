#include "modes/ModeTable.h"

#include <algorithm>
#include <bitset>

namespace {

bool Holds(const std::vector<std::uint8_t>& rates, std::uint32_t rate) {
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

// Width and height in one number that orders as the table does: by width, then height.
std::uint32_t SizeKey(std::uint16_t width, std::uint16_t height) {
    return static_cast<std::uint32_t>(width) << 16 | height;
}

std::uint32_t SizeKey(const ModeEntry& entry) { return SizeKey(entry.Width, entry.Height); }

// The size of every entry, side by side: a record is matched against the whole table, and a
// run over these numbers is far quicker than one over the entries themselves.
std::vector<std::uint32_t> SizeKeys(const ModeEntries& table) {
    std::vector<std::uint32_t> keys;
    keys.reserve(table.size());
    for (const ModeEntry& entry : table)
        keys.push_back(SizeKey(entry));
    return keys;
}

// Ascending. A resolution may have a couple of hundred rates, each one byte and (as the table
// keeps them) each once: marked in a 256-bit set and read back in order. A list that does hold
// a rate twice is sorted the ordinary way, to the same result.
void SortRates(std::vector<std::uint8_t>& rates) {
    if (rates.size() < 32) {
        std::sort(rates.begin(), rates.end());
        return;
    }
    std::uint64_t words[4] = {};
    for (std::uint8_t rate : rates) {
        std::uint64_t bit = std::uint64_t{1} << (rate & 63);
        if (words[rate >> 6] & bit) {
            std::sort(rates.begin(), rates.end());
            return;
        }
        words[rate >> 6] |= bit;
    }
    std::uint8_t* out = rates.data();
    for (unsigned w = 0; w < 4; ++w) {
        for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1)
            *out++ = static_cast<std::uint8_t>(w * 64 + __builtin_ctzll(bits));
    }
}

// Zero stands for "any" in a driver record; such records name no single mode.
bool NamesOneMode(const RestrictionRecord& record) {
    return record.Width != 0 && record.Height != 0 && record.Rate != 0 &&
           record.Rate <= HighestRate;
}

// Builds the table from the modes in the order the system reports them.
class TableFiller : public platform::ModeSink {
public:
    explicit TableFiller(ModeEntries& table) : table_(table) {}

    bool Take(const platform::DisplayMode& mode) override {
        if (mode.width == 0 || mode.height == 0 || mode.frequency == 0) return true;
        // A size or rate the table cannot hold would be stored as a different one.
        if (mode.width > UINT16_MAX || mode.height > UINT16_MAX || mode.frequency > HighestRate) {
            return true;
        }
        auto width = static_cast<std::uint16_t>(mode.width);
        auto height = static_cast<std::uint16_t>(mode.height);
        if (width != lastWidth_ || height != lastHeight_) {
            // The system lists its modes by width; a smaller width starts a second listing
            // (other colour depths, say) that repeats what was already seen.
            if (width < lastWidth_) return false;
            lastWidth_ = width;
            lastHeight_ = height;
            table_.push_back(ModeEntry{height, width, {}, 0});
            rates_ = &table_.back().Rates;
            // Room for every rate a resolution can have, so that the list never moves.
            rates_->reserve(HighestRate);
            lastRates_.reset();
        }
        if (lastRates_[mode.frequency]) return true;
        lastRates_[mode.frequency] = true;
        rates_->push_back(static_cast<std::uint8_t>(mode.frequency));
        return true;
    }

private:
    ModeEntries& table_;
    std::uint16_t lastWidth_ = 0;
    std::uint16_t lastHeight_ = 0;
    std::vector<std::uint8_t>* rates_ = nullptr;  // of the last entry
    // The rates the last entry holds, so that a repeat (each size comes once per colour
    // depth) costs no search of its list.
    std::bitset<HighestRate + 1> lastRates_;
};

}  // namespace

void EnumerateModes(platform::Display& display, const std::string& deviceName, std::uint32_t flags,
                    ModeEntries& table) {
    table.clear();
    TableFiller filler(table);
    display.EnumModes(deviceName, LastModeNumber, flags, filler);
}

bool MergeRestrictions(ModeEntries& table, const std::vector<RestrictionRecord>& records) {
    bool undisabledFound = false;
    std::vector<std::uint32_t> keys = SizeKeys(table);
    for (const RestrictionRecord& record : records) {
        if (!NamesOneMode(record)) continue;
        std::uint32_t key = SizeKey(record.Width, record.Height);
        bool sizeFound = false;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] != key) continue;
            ModeEntry& entry = table[i];
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
            keys.push_back(key);
        }
    }
    return undisabledFound;
}

void SortModeTable(ModeEntries& table) {
    // The entries' sizes with their places: sorted by size and then place, which keeps entries
    // of the same size in their order, as a stable sort of the entries would, without moving
    // an entry more than once.
    std::vector<std::uint64_t> order;
    order.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i)
        order.push_back(static_cast<std::uint64_t>(SizeKey(table[i])) << 32 | i);
    if (!std::is_sorted(order.begin(), order.end())) {
        std::sort(order.begin(), order.end());
        ModeEntries sorted;
        sorted.reserve(table.size());
        for (std::uint64_t place : order)
            sorted.push_back(std::move(table[static_cast<std::uint32_t>(place)]));
        table = std::move(sorted);
    }
    for (ModeEntry& entry : table)
        SortRates(entry.Rates);
}

void DeriveSelected(ModeEntries& table, const std::vector<RestrictionRecord>& records) {
    // The rates listed for an entry form a set: the program writes them from the lowest up, but
    // a list in another order (another tool's, or one listing a rate twice) must not make a
    // refused rate look like the one in force, or an OK without any change would lift it.
    std::vector<std::bitset<256>> listed(table.size());
    std::vector<std::uint32_t> keys = SizeKeys(table);
    for (const RestrictionRecord& record : records) {
        if (!NamesOneMode(record)) continue;
        std::uint32_t key = SizeKey(record.Width, record.Height);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == key) listed[i].set(record.Rate);
        }
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        ModeEntry& entry = table[i];
        entry.Selected = entry.Rates.empty() ? 0 : NoRateLeft;
        auto free = std::find_if(entry.Rates.begin(), entry.Rates.end(),
                                 [&](std::uint8_t rate) { return !listed[i].test(rate); });
        if (free != entry.Rates.end()) entry.Selected = *free;
    }
}
