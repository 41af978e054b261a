#pragma once
// What the program's windows share for the whole run: the platform, the language, the
// adapter, the mode table and the start-up flags. One per process; each test builds its own.

#include <cstdint>
#include <string>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "modes/ModeTable.h"
#include "nonstandard/NonStdModes.h"
#include "platform/Platform.h"
#include "ui/Application.h"

struct ProgramState {
    ProgramState(platform::Platform os, ui::Application& app) : os(os), app(app) {}

    platform::Platform os;
    ui::Application& app;

    LanguageState language;
    AdapterState adapter;  // refilled by every main window's creation
    // The resolutions with their rates; rebuilt by every main window's creation.
    ModeEntries ModeTable;
    // Counts the builds of the table. The grid rows address entries by index, so a window
    // whose build is not the latest must not store its rows into the table.
    std::uint32_t ModeTableBuilds = 0;
    std::uint32_t ModeEnumFlags = 0;
    std::string WinVerText;

    // A command of the command line runs: a start that cannot go on ends with the exit code
    // that says why (services/ExitCodes.h).
    bool CommandMode = false;

    // Start-up flags.
    bool FirstPaint = true;           // the first paint's actions have not run yet
    bool CheckMode = false;           // started with /CHECK to test the new modes
    int EarlierCheckStarts = -1;      // unanswered starts of this check before; -1 uncounted
    bool RestoreWanted = false;       // the user agreed at start to restore the last backup
    bool StartBackupTaken = false;    // this run's "backup.dat" was written
    bool FirstRunNeeded = false;      // the driver's restrictions are to be cleared
    bool NonStdModesChanged = false;  // the non-standard resolutions were saved

    // The driver's non-standard resolutions: filled by the first list window, never emptied.
    NonStdModeList NonStdModes;
    NonStdEditState NonStdEditing;
};
