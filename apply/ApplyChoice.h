#pragma once
// Applying what the user chose, the one way the window's OK, /APPLY and the watch's Apply again
// all take: the writer lock, the monitor's limits, the colour depths, the length of the
// driver's list, the pending change and its backup, the writes, the history and the kept
// record. It says what happened and leaves the restart, and the end of the process, to its
// caller.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "apply/Choice.h"
#include "apply/Machine.h"
#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "services/RegistryCursor.h"

struct ApplyPolicy {
    // Rates beyond the monitor's limits: asked about (No writes nothing), or set back to the
    // rate in force unasked and reported, as a command that nobody watches must.
    enum class Monitor { Ask, RefuseBeyond } monitor = Monitor::Ask;
    // The non-standard resolutions were saved in this run: the driver must restart to take them.
    bool nonStandardChanged = false;
};

struct ApplyOutcome {
    enum class Result {
        NothingWritten,  // stopped before any write, and said why (or was answered No)
        Done,            // written; in force without a restart
        RestartNeeded,   // written; the check after the restart is armed
    } result = Result::NothingWritten;
    // What it means to a script (services/ExitCodes.h): Done, or PartsRefused when a rate beyond
    // the monitor was refused; otherwise why nothing was written. A caller that leaves a needed
    // restart undone says RestartNeeded for Done.
    std::uint32_t exitCode = 0;
    bool restartNeeded = false;
    // Rates beyond the monitor's limits that the policy refused: "1280x1024, 85 Hz (60 Hz kept)".
    std::vector<std::string> beyondMonitor;
    // The depths written: 32 bits per pixel stays allowed when none was chosen.
    std::array<bool, ColourDepths.size()> depths{};
    // The machine's modes with the rates applied as Selected, once past the monitor's limits.
    ModeEntries table;

    bool Written() const { return result != Result::NothingWritten; }
};

ApplyOutcome ApplyChoice(platform::Platform& os, RegistryCursor& cursor, const Machine& machine,
                         const Choice& choice, const ApplyPolicy& policy,
                         const LanguageState& language);

// Sets each chosen rate beyond the monitor's limits (as its EDID gives them) back to the rate in
// force; one line for each: "1280x1024, 85 Hz (60 Hz kept)".
std::vector<std::string> RefuseRatesBeyondMonitor(platform::Platform& os, const Machine& machine,
                                                  Choice& choice);
