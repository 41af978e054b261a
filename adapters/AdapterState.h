#pragma once
// The display adapter the program works on, its driver key and what identifies the card.
// Refilled by every creation of a main window.

#include <cstdint>
#include <string>
#include <vector>

struct AdapterSlot {
    std::string name;        // the adapter's description
    std::string key;         // its registry key in the kernel's form
    std::string deviceName;  // as the display-mode enumeration wants it
};

struct AdapterState {
    std::vector<AdapterSlot> AdapterList;  // by display-device number; skipped numbers empty
    std::uint8_t AdapterCount = 0;
    // Relative to HKEY_LOCAL_MACHINE; empty when there is no adapter 0 or its key is not one
    // of the machine's keys. Nothing may be read or written through an empty driver key: it
    // would be the root of HKEY_LOCAL_MACHINE.
    std::string DriverKey;
    std::string DdhalKey;
    std::string DisplayDeviceName;

    std::string ClassID;
    std::string VideoID;
    std::string Chip;
    std::string DriverVersion;
    std::string DeviceInstanceId;
    std::string VendorId;
    std::string DeviceId;
    std::string SubsysId;
    std::string SubsysVendorId;
    std::string RevisionId;

    bool HasDriverKey() const { return !DriverKey.empty(); }
};
