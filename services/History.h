#pragma once
// The change history for administrators: every change the program makes or undoes, one line
// each in "history.log" in the install directory, and the same event in the Windows Event Log.
// The log is UTF-8 text with CR LF line ends; each line is the local time with its offset from
// UTC (2026-12-08T14:03:27+01:00), a blank and the event. Its texts are English, whatever the
// language in use.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Platform.h"

inline constexpr char HistoryFile[] = "history.log";
// A line that would take the log past this size first drops its oldest half.
constexpr std::size_t HistoryLimit = 256 * 1024;
// A value of the settings key: the time and name of the latest event the log could not take.
// The report shows it; the next line the log takes says so, and the value goes.
inline constexpr char HistoryUnwrittenValue[] = "HistoryUnwritten";

enum class HistoryEvent {
    OkApplied,        // OK wrote the chosen rates: each resolution's rate before and after
    CheckArmed,       // the check of the change runs at the next logon
    CheckConfirmed,   // OK in the check window
    LowestRate,       // nobody confirmed: the display went down to its lowest rate
    ChangeUndone,     // the check put back the settings from before an unconfirmed change
    TwoStrikes,       // the check found an earlier start unanswered and undid the change
    RestoreCommand,   // /RESTORE, or the same offered in Safe Mode
    RestoreRegistry,  // Restore Registry: lastknowngood.dat back in
    Uninstall,        // firstrun.dat back in, the settings removed
    ApplyCommand,     // /APPLY
    WatchLostRates,   // /WATCH found rates the driver no longer refuses as applied
    ApplyAgain,       // Apply again
    RestoreFailed,    // a backup that should have gone back in did not
    WriterEnded,      // the writer lock's last holder ended without letting go of it
};

// Adds the event, with `details` after its name, to the history and to the Event Log
// (Information for a change, Warning for one undone unasked, Error for a failed restore). It
// never stops a change: a log that cannot be written is noted in the settings key instead, for
// the report. `details` is ASCII or a UTF-8 text after its mark; line ends become blanks.
void RecordEvent(platform::Platform& os, HistoryEvent event,
                 const std::string& details = std::string());
// The same event to the Event Log alone, for a caller that has nothing but the system at hand.
void RecordEventInEventLog(platform::System& system, HistoryEvent event,
                           const std::string& details = std::string());

// The time as a history line starts: local time and its offset, "2026-12-08T14:03:27+01:00".
std::string HistoryTime(const platform::LocalTime& time);

// The log without its oldest half: the lines of at most half the limit's bytes at its end.
std::string NewerHalf(const std::string& log);

// What the report tells of the history.
struct HistoryExcerpt {
    bool found = false;              // history.log is there
    bool readable = false;           // and could be read
    std::vector<std::string> lines;  // its last lines, oldest first
    std::string unwritten;           // the latest event the log could not take; empty when none
};
HistoryExcerpt ReadHistory(platform::Platform& os, std::size_t lineCount);
