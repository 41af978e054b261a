#pragma once
// What Cadenzo applied, kept so that it can tell when a driver update or a reinstall has taken
// the user's rates away. An OK that needs a restart stores its record as pending; the check's
// OK confirms it. An OK that needs no restart stores it as applied at once. Whatever undoes a
// change (the fall-back, Restore Registry, the blind restore, two strikes) leaves the last
// confirmed record as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modes/ModeTable.h"
#include "platform/Platform.h"

// Subkeys of the settings key.
inline constexpr char AppliedKey[] = "SOFTWARE\\Korvex\\Cadenzo\\Applied";
inline constexpr char PendingKey[] = "SOFTWARE\\Korvex\\Cadenzo\\Pending";

// Values of a record. The rates are driver-style mode records (width, height, 0, rate; rate 0 for
// a resolution left at its default, NoRateLeft for one with every rate refused). The switches
// are stored under the driver's own value names, each only when OK wrote it.
inline constexpr char RecordRatesValue[] = "Rates";
inline constexpr char RecordRefusedValue[] = "Refused";
inline constexpr char RecordAnisoValue[] = "AnisoDegree";  // "" when the override was off
inline constexpr char RecordDriverKeyValue[] = "DriverKey";
inline constexpr char RecordDriverVersionValue[] = "DriverVersion";
inline constexpr char RecordDriverDateValue[] = "DriverDate";
inline constexpr char RecordDeviceValue[] = "Device";  // the card's device instance
inline constexpr char RecordDateValue[] = "Date";      // when it was applied, "YYYY-MM-DD HH:MM"
// Set once the watch has said that the adapter is gone, so that it says it once.
inline constexpr char RecordAdapterGoneSaidValue[] = "AdapterGoneSaid";

struct RecordedSwitch {
    std::string name;  // the driver's value name
    std::uint16_t value = 0;
};

struct AppliedRecord {
    std::vector<RestrictionRecord> rates;  // one per resolution; Depth unused
    std::vector<std::uint8_t> refused;     // the driver's refused-mode list as written
    std::vector<RecordedSwitch> switches;
    std::string anisoDegree;
    std::string driverKey, driverVersion, driverDate, device, date;
};

// The rates of a mode table as a record holds them.
std::vector<RestrictionRecord> RecordedRates(const ModeEntries& table);

// Stores a record under `key`, replacing the one there.
void WriteRecord(platform::Registry& registry, const std::string& key, const AppliedRecord& record);
// The record under `key`; none when it is missing or lacks its rates or refused list.
std::optional<AppliedRecord> ReadRecord(platform::Registry& registry, const std::string& key);

// The check's OK: the pending record becomes the applied one.
void ConfirmPendingRecord(platform::Registry& registry);
// A change undone: its pending record goes, the applied one stays.
void DropPendingRecord(platform::Registry& registry);

// The "DriverVersion" and "DriverDate" that Windows keeps in the adapter's driver key: they
// change with every driver update. Empty where missing.
struct DriverIdentity {
    std::string version, date;
};
DriverIdentity ReadDriverIdentity(platform::Registry& registry, const std::string& driverKey);
