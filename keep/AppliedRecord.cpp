#include "keep/AppliedRecord.h"

#include "modes/BcdCodec.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptionValues.h"
#include "services/RegistryValues.h"

namespace {

// A record's lists are read back up to this size.
constexpr std::uint32_t kListCapacity = 4096;

}  // namespace

std::vector<RestrictionRecord> RecordedRates(const ModeEntries& table) {
    std::vector<RestrictionRecord> rates;
    for (const ModeEntry& entry : table) {
        // The driver's lists cannot name larger sizes, and neither can the record.
        if (entry.Width > LargestBcdField || entry.Height > LargestBcdField) continue;
        rates.push_back({entry.Width, entry.Height, 0, entry.Selected});
    }
    return rates;
}

void WriteRecord(platform::Registry& registry, const std::string& key,
                 const AppliedRecord& record) {
    registry.DeleteKeyTree(key);
    std::vector<std::uint8_t> rates;
    for (const RestrictionRecord& rate : record.rates) {
        ModeRecordBytes bytes = EncodeModeRecord(rate);
        rates.insert(rates.end(), bytes.begin(), bytes.end());
    }
    // The creating write first: the others open the key it made.
    WriteRegBinary(registry, key, RecordRefusedValue, record.refused);
    for (const RecordedSwitch& item : record.switches)
        WriteRegDword(registry, key, item.name, item.value);
    WriteRegString(registry, key, RecordAnisoValue, record.anisoDegree);
    WriteRegString(registry, key, RecordDriverKeyValue, record.driverKey);
    WriteRegString(registry, key, RecordDriverVersionValue, record.driverVersion);
    WriteRegString(registry, key, RecordDriverDateValue, record.driverDate);
    WriteRegString(registry, key, RecordDeviceValue, record.device);
    WriteRegString(registry, key, RecordDateValue, record.date);
    // The rates last: a record without them is no record, so one cut short by a power cut is
    // never taken for whole.
    WriteRegBinary(registry, key, RecordRatesValue, rates);
}

std::optional<AppliedRecord> ReadRecord(platform::Registry& registry, const std::string& key) {
    AppliedRecord record;
    std::vector<std::uint8_t> rates;
    if (ReadRegBinary(registry, key, RecordRatesValue, kListCapacity, rates) != RegDone ||
        ReadRegBinary(registry, key, RecordRefusedValue, kListCapacity, record.refused) !=
            RegDone) {
        return std::nullopt;
    }
    record.rates = DecodeRestrictedModes(rates.data(), rates.size());
    for (const char* name : DriverSwitchValues) {
        std::uint16_t value = 0;
        if (ReadRegWord(registry, key, name, value) == RegDone)
            record.switches.push_back({name, value});
    }
    ReadRegString(registry, key, RecordAnisoValue, record.anisoDegree);
    ReadRegString(registry, key, RecordDriverKeyValue, record.driverKey);
    ReadRegString(registry, key, RecordDriverVersionValue, record.driverVersion);
    ReadRegString(registry, key, RecordDriverDateValue, record.driverDate);
    ReadRegString(registry, key, RecordDeviceValue, record.device);
    ReadRegString(registry, key, RecordDateValue, record.date);
    return record;
}

void ConfirmPendingRecord(platform::Registry& registry) {
    if (std::optional<AppliedRecord> pending = ReadRecord(registry, PendingKey))
        WriteRecord(registry, AppliedKey, *pending);
    registry.DeleteKeyTree(PendingKey);
}

void DropPendingRecord(platform::Registry& registry) { registry.DeleteKeyTree(PendingKey); }

DriverIdentity ReadDriverIdentity(platform::Registry& registry, const std::string& driverKey) {
    DriverIdentity identity;
    ReadRegString(registry, driverKey, "DriverVersion", identity.version);
    ReadRegString(registry, driverKey, "DriverDate", identity.date);
    return identity;
}
