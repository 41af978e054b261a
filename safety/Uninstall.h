#pragma once
// Putting the display driver's settings back as they were before the program's first run and
// removing the program's own settings: the main window's Uninstall command, and the same for
// an uninstaller through the command line, "Cadenzo.exe /UNINSTALL" (asks as the menu does) or
// "Cadenzo.exe /UNINSTALL /S" (asks and tells nothing; the exit code says what happened).

#include <cstdint>
#include <string>

#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "services/RegistryCursor.h"

inline constexpr char UninstallSwitch[] = "/UNINSTALL";
inline constexpr char SilentSwitch[] = "/S";

// Also the process's exit code after the command-line form.
enum class UninstallResult : std::uint32_t {
    Restored = 0,       // firstrun.dat went back in and the settings key is gone
    Declined = 1,       // the question was answered No: nothing changed
    NoBackup = 2,       // there is no firstrun.dat: nothing changed
    RestoreFailed = 3,  // the registry editor did not finish: the settings key stays
    Busy = 7,           // another Cadenzo is changing the settings: nothing changed
};

// Imports firstrun.dat from the install directory and waits for it; only when it went back in
// is the settings key deleted, so that a failed uninstall can be tried again with nothing
// lost. `silent`: no question and no message boxes. `origin` names for the history what asked
// for it (the menu, the command line).
UninstallResult Uninstall(platform::Platform& os, RegistryCursor& registry,
                          const LanguageState& language, bool silent, const std::string& origin);

// The switches after the program's path, each a word of its own in any letter case.
bool HasUninstallSwitch(const std::string& commandLine);
bool HasSilentSwitch(const std::string& commandLine);
