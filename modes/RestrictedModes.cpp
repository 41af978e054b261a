#include "modes/RestrictedModes.h"

#include <algorithm>

#include "modes/DriverValues.h"
#include "services/Format.h"

namespace {

constexpr std::uint8_t Unread = 0xFF;

void Append(std::vector<std::uint8_t>& bytes, const RestrictionRecord& record) {
    ModeRecordBytes encoded = EncodeModeRecord(record);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
}

bool FitsBcdField(std::uint16_t value) { return value <= LargestBcdField; }

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

std::vector<std::uint8_t> EncodeRestrictedModes(const ModeTable& table, bool hiFreq,
                                                std::array<bool, 4> depthsChecked) {
    std::vector<std::uint8_t> bytes;
    for (const ModeEntry& entry : table) {
        if (!FitsBcdField(entry.Width) || !FitsBcdField(entry.Height)) continue;
        for (std::uint8_t rate : entry.Rates) {
            if (rate == entry.Selected && hiFreq) continue;
            if (rate >= entry.Selected && !hiFreq) break;
            Append(bytes, RestrictionRecord{entry.Width, entry.Height, 0, rate});
        }
    }
    for (std::size_t i = 0; i < ColourDepths.size(); ++i) {
        if (!depthsChecked[i]) Append(bytes, RestrictionRecord{0, 0, ColourDepths[i], 0});
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
