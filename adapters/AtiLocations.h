#pragma once
// Where the ATI driver keeps what the program reads besides the driver key, all under
// HKEY_LOCAL_MACHINE. The instance "0000" is literal, whichever adapter is in use.

#include <array>

namespace ati {

inline constexpr char CdsDriverKey[] = "SOFTWARE\\ATI Technologies\\CDS\\0000\\0\\Driver";
inline constexpr char CdsAsicKey[] = "SOFTWARE\\ATI Technologies\\CDS\\0000\\0\\ASIC";
inline constexpr char CbtKey[] = "SOFTWARE\\ATI Technologies\\CBT";
inline constexpr char Ati2mtagDevice0Key[] =
    "SYSTEM\\CurrentControlSet\\Services\\ati2mtag\\Device0";
inline constexpr char DisplayClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000";

// The service Enum keys whose value "0" names the card's device instance; the last that
// exists wins.
constexpr std::array<const char*, 4> ServiceEnumKeys{
    "SYSTEM\\CurrentControlSet\\Services\\ati2mtaa\\Enum",
    "SYSTEM\\CurrentControlSet\\Services\\ati2mtag\\Enum",
    "SYSTEM\\CurrentControlSet\\Services\\atimtag\\Enum",
    "SYSTEM\\CurrentControlSet\\Services\\atimtaa\\Enum"};

// The keys of the driver's control-panel tabs, in the order they are read and written.
constexpr std::array<const char*, 3> DesktopKeys{
    "SOFTWARE\\ATI Technologies\\Desktop\\0000",
    "SOFTWARE\\ATI Technologies\\Desktop\\{0C6F9C77-95F5-40DC-8EB1-6B363CD0DA57}",
    "SOFTWARE\\ATI Technologies\\Desktop\\{C4FD75DE-94EC-429E-AD75-39855E9B1030}"};

// Value names.
// In the adapter's driver key: 0 makes the driver offer modes the monitor may not support.
inline constexpr char PruningModeValue[] = "PruningMode";
inline constexpr char HardwareRegKeyValue[] = "Hardware RegKey";
inline constexpr char VersionValue[] = "Version";
inline constexpr char ChipIdValue[] = "Chip ID";
inline constexpr char ReleaseVersionValue[] = "ReleaseVersion";
inline constexpr char DeviceDescriptionValue[] = "Device Description";
inline constexpr char DriverVersionValue[] = "DriverVersion";
inline constexpr char EnumFirstValue[] = "0";
inline constexpr char ClassDriverValue[] = "Driver";
inline constexpr char VideoIdValue[] = "VideoID";
inline constexpr char DeviceParametersSubkey[] = "\\Device Parameters";
inline constexpr char DdhalSubkey[] = "\\ddhal";

}  // namespace ati
