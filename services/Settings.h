#pragma once
// The program's own settings key and the install directory kept in it.

#include <string>

#include "platform/Platform.h"

inline constexpr char SettingsKey[] = "SOFTWARE\\Korvex\\Cadenzo";

// Values of the settings key.
inline constexpr char InstallDirValue[] = "InstallDir";
inline constexpr char LangFileNameValue[] = "LangFileName";
inline constexpr char AdapterNumValue[] = "AdapterNum";
inline constexpr char AllwaysValue[] = "Allways";
inline constexpr char VersionValue[] = "Version";
// Never written by the program; a person may set it, and the report tells whether it is above 0.
inline constexpr char IgnoreMonitorCapsValue[] = "IgnoreMonitorCAPS";
// Present (a REG_DWORD 1) while a change that "firstrun.dat" undoes is under way: the first
// run's clearing of the driver's restrictions, or Uninstall's restore of the file. A start
// that finds it finishes the first run and never takes "firstrun.dat" again, so a machine that
// stopped half way keeps the only copy of the driver's first settings.
inline constexpr char FirstRunPendingValue[] = "FirstRunPending";

inline constexpr char ProgramName[] = "Cadenzo";
inline constexpr char ProgramVersion[] = CADENZO_VERSION_TEXT;  // "0.98 beta", from the build
inline constexpr char VersionWhenAbsent[] = "0.50";

// The stored install directory without its terminator; "." when
// none is stored.
std::string GetInstallDir(platform::Registry& registry);
// Stores the current working directory as the install directory.
void SaveInstallDir(platform::Platform& os);
// Stores the language file name, as last read, back into the settings.
void SaveLangFileName(platform::Registry& registry, const std::string& languageFile);
// A file in the install directory (or any directory): the two joined by a backslash.
std::string InstallPath(const std::string& installDir, const std::string& fileName);
