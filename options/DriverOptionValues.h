#pragma once
// The ATI driver's on/off options that the main window switches: eight switches in the
// adapter's driver key, the anisotropic-filtering override in its "ddhal" subkey, and the
// property tabs of the driver's control-panel extension in the desktop keys.

#include <array>
#include <cstddef>
#include <cstdint>

// One driver switch: its REG_DWORD in the driver key, which says whether a feature is disabled
// (the opposite of its box), the feature's name in a profile, and the main window's box.
struct DriverSwitch {
    const char* value;
    const char* profileKey;
    const char* box;
};
// The eight switches, in the order they are read, written, compared and shown.
constexpr std::array<DriverSwitch, 8> DriverSwitchTable{{
    {"DisableBlockWrite", "BlockWrite", "cbBlockWrite"},
    {"DisableDrvStretchBlt", "DrvStretchBlt", "cbDrvStretchBlt"},
    {"DisableTiling", "Tiling", "cbTiling"},
    {"DisableUSWC", "USWC", "cbUSWC"},
    {"DisableVBlankFlip", "VBlankFlip", "cbVBlankFlip"},
    {"DisableLCD", "LCD", "cbLCD"},
    {"DDC2Disabled", "DDC2", "cbDDC2"},
    {"DisableDMACopy", "DMACopy", "cbDMACopy"},
}};
constexpr std::size_t DriverSwitchCount = DriverSwitchTable.size();

// The switches' value names alone, in the table's order: the values a backup or a kept record
// names.
constexpr std::array<const char*, DriverSwitchCount> DriverSwitchValueNames() {
    std::array<const char*, DriverSwitchCount> names{};
    for (std::size_t i = 0; i < DriverSwitchCount; ++i)
        names[i] = DriverSwitchTable[i].value;
    return names;
}
constexpr std::array<const char*, DriverSwitchCount> DriverSwitchValues = DriverSwitchValueNames();

constexpr std::uint16_t SwitchFeatureEnabled = 0;   // the box checked
constexpr std::uint16_t SwitchFeatureDisabled = 1;  // the box unchecked
// Read into a switch's variable first: absent, it keeps this and the box stays grayed.
constexpr std::uint16_t SwitchValueAbsent = 0x00FF;

// REG_SZ in the ddhal key, written with its terminator: the degree the driver forces in
// Direct3D. Absent or empty, the driver does not force it.
inline constexpr char AnisoDegreeValue[] = "AnisoDegree";
// The degree the main window offers first, where the driver forces none.
inline constexpr char DefaultAnisoDegree[] = "16";

// REG_DWORD values in each of the desktop keys (ati::DesktopKeys), in the order of the tab
// boxes.
constexpr std::array<const char*, 4> DriverTabValues{"OpenGL", "D3D", "Projector", "Rotation"};
constexpr std::uint16_t TabShown = 1;
constexpr std::uint16_t TabHidden = 0;
