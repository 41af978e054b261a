#pragma once
// The ATI driver's on/off options that the main window switches: eight switches in the
// adapter's driver key, the anisotropic-filtering override in its "ddhal" subkey, and the
// property tabs of the driver's control-panel extension in the desktop keys.

#include <array>
#include <cstdint>

// REG_DWORD values in the driver key, in the order they are read, written and compared. Each
// says whether a feature is disabled, the opposite of its box.
constexpr std::array<const char*, 8> DriverSwitchValues{
    "DisableBlockWrite", "DisableDrvStretchBlt", "DisableTiling", "DisableUSWC",
    "DisableVBlankFlip", "DisableLCD",           "DDC2Disabled",  "DisableDMACopy"};
constexpr std::uint16_t SwitchFeatureEnabled = 0;   // the box checked
constexpr std::uint16_t SwitchFeatureDisabled = 1;  // the box unchecked
// Read into a switch's variable first: absent, it keeps this and the box stays grayed.
constexpr std::uint16_t SwitchValueAbsent = 0x00FF;

// REG_SZ in the ddhal key, written with its terminator: the degree the driver forces in
// Direct3D. Absent or empty, the driver does not force it.
inline constexpr char AnisoDegreeValue[] = "AnisoDegree";

// REG_DWORD values in each of the desktop keys (ati::DesktopKeys), in the order of the tab
// boxes.
constexpr std::array<const char*, 4> DriverTabValues{"OpenGL", "D3D", "Projector", "Rotation"};
constexpr std::uint16_t TabShown = 1;
constexpr std::uint16_t TabHidden = 0;
