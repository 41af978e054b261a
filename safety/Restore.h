#pragma once
// Recovery a person can do without seeing the screen: "Cadenzo.exe /RESTORE" (typed blind as
// Win+R, "cadenzo /restore", Enter) puts back the driver's settings from before the last OK,
// drops a pending check and restarts Windows, with no window and no question; and a start in
// Safe Mode offers the same first.

#include <cstdint>
#include <string>

#include "lang/LanguageState.h"
#include "platform/Platform.h"

inline constexpr char RestoreSwitch[] = "/RESTORE";

// How long the sound before the restart has to be heard.
constexpr std::uint32_t RestoreRestartDelayMs = 5000;

// Also the process's exit code after the command-line form.
enum class RestoreResult : std::uint32_t {
    Restored = 0,       // a backup went back in and Windows was asked to restart
    NoBackup = 2,       // neither lastknowngood.dat nor firstrun.dat is there: nothing changed
    RestoreFailed = 3,  // the registry editor did not finish: the check stays pending
    Busy = 7,           // another Cadenzo is changing the settings: nothing changed
};

// How long the restore waits for another Cadenzo to finish its change.
constexpr std::uint32_t RestoreWriterWaitMs = 10000;

// The backup the restore takes from the install directory: lastknowngood.dat (the settings
// before the last OK), or firstrun.dat when only that is there.
std::string RestoreBackupFile(platform::Platform& os);

// Imports that backup and waits for it; then removes a pending check (its RunOnce entry and
// start count), plays the restore sound and restarts Windows after a pause. Shows nothing. The
// history tells the restore, or its failure, and whether it was the offer in Safe Mode.
RestoreResult RestoreAndRestart(platform::Platform& os, bool inSafeMode = false);

// In Safe Mode, asks whether to restore and restart, and on Yes does what RestoreAndRestart
// does; a restore that fails is said. True when the restart was asked for and the program has
// nothing more to do; false (not Safe Mode, No, or a failure) to go on to the main window.
bool OfferRestoreInSafeMode(platform::Platform& os, const LanguageState& language);

// The switch after the program's path, a word of its own in any letter case.
bool HasRestoreSwitch(const std::string& commandLine);
