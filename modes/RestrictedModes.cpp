#include "modes/RestrictedModes.h"

#include <algorithm>

#include "modes/DriverValues.h"
#include "services/Format.h"

namespace {

constexpr std::uint8_t Unread = 0xFF;

bool FitsBcdField(std::uint16_t value) { return value <= LargestBcdField; }

// The rate field of every one-byte rate, worked out at compile time: a full table makes tens of
// thousands of records.
constexpr std::array<BcdField, 256> RateFields() {
    std::array<BcdField, 256> fields{};
    for (unsigned rate = 0; rate < fields.size(); ++rate)
        fields[rate] = EncodeBcdField(static_cast<std::uint16_t>(rate));
    return fields;
}
constexpr std::array<BcdField, 256> kRateFields = RateFields();

}  // namespace

ModeListBuffer ReadModeList(RegistryCursor& cursor, const std::string& key,
                            const std::string& name) {
    ModeListBuffer list;
    if (!cursor.OpenKey(FromRoot(key), false)) return list;
    list.size = cursor.ReadBinaryData(name, list.bytes.data(), list.bytes.size());
    return list;
}

ModeListBuffer ReadRestrictedModes(RegistryCursor& cursor, const std::string& driverKey) {
    return ReadModeList(cursor, driverKey, RestrictedModesValue);
}

std::vector<RestrictionRecord> DecodeRestrictedModes(const std::uint8_t* buffer,
                                                     std::size_t valueSize) {
    std::size_t count = std::min(valueSize, ModeListBufferSize) / ModeRecordSize;
    std::vector<RestrictionRecord> records;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = buffer + i * ModeRecordSize;
        if (record[0] == Unread) break;
        records.push_back(DecodeModeRecord(record));
    }
    return records;
}

std::vector<RestrictionRecord> DecodeRestrictedModes(const ModeListBuffer& list) {
    return DecodeRestrictedModes(list.bytes.data(), list.size);
}

std::vector<std::uint8_t> EncodeRestrictedModes(
    const ModeEntries& table, bool hiFreq, std::array<bool, ColourDepths.size()> depthsChecked) {
    // An entry's records are its rates before the first one at or above `Selected`; with
    // `hiFreq`, all but those equal to it.
    auto written = [hiFreq](const ModeEntry& entry) -> std::size_t {
        if (!FitsBcdField(entry.Width) || !FitsBcdField(entry.Height)) return 0;
        const std::vector<std::uint8_t>& rates = entry.Rates;
        if (hiFreq) {
            return rates.size() -
                   static_cast<std::size_t>(std::count(rates.begin(), rates.end(), entry.Selected));
        }
        return static_cast<std::size_t>(
            std::find_if(rates.begin(), rates.end(),
                         [&entry](std::uint8_t rate) { return rate >= entry.Selected; }) -
            rates.begin());
    };
    std::size_t records = 0;
    for (const ModeEntry& entry : table)
        records += written(entry);
    for (bool checked : depthsChecked)
        records += checked ? 0 : 1;

    // Sized once and filled in place: a table can make tens of thousands of records. An
    // entry's records differ only in their last two bytes, the rate.
    std::vector<std::uint8_t> bytes(records * ModeRecordSize);
    std::uint8_t* out = bytes.data();
    for (const ModeEntry& entry : table) {
        std::size_t count = written(entry);
        if (count == 0) continue;
        ModeRecordBytes record =
            EncodeModeRecord(RestrictionRecord{entry.Width, entry.Height, 0, 0});
        for (std::uint8_t rate : entry.Rates) {
            if (count == 0) break;
            if (rate == entry.Selected && hiFreq) continue;
            const BcdField& field = kRateFields[rate];
            record[6] = field[0];
            record[7] = field[1];
            out = std::copy(record.begin(), record.end(), out);
            --count;
        }
    }
    for (std::size_t i = 0; i < ColourDepths.size(); ++i) {
        if (depthsChecked[i]) continue;
        ModeRecordBytes record = EncodeModeRecord(RestrictionRecord{0, 0, ColourDepths[i], 0});
        out = std::copy(record.begin(), record.end(), out);
    }
    return bytes;
}

bool ModeListFits(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() <= ModeListBufferSize;
}

void WriteModeList(RegistryCursor& cursor, const std::string& key, const std::string& name,
                   const std::vector<std::uint8_t>& bytes) {
    if (!cursor.OpenKey(FromRoot(key), false)) {
        throw RegistryError(FormatText(FailedToSetDataError, name));
    }
    cursor.WriteBinaryData(name, bytes.data(), bytes.size());
}

void WriteRestrictedModes(RegistryCursor& cursor, const std::string& driverKey,
                          const std::vector<std::uint8_t>& bytes) {
    WriteModeList(cursor, driverKey, RestrictedModesValue, bytes);
    WriteModeList(cursor, driverKey, FurtherRestrictedModesValues[0], {});
}
