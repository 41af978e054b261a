#pragma once
// The change that waits for its check after a restart. An OK that needs a restart starts it;
// until the check confirms it or something undoes it, every later OK adds to the same change
// and keeps its before-file, the settings from before its first OK. The check after the
// restart, its fall-back, the two strikes, the blind restore and Safe Mode's offer all put back
// that file; Cancel alone keeps to backup.dat, the settings at the start of its own run.
//
// The state lives in the settings key and is written here only:
//
//   state     | entered by                        | the check (RunOnce entry)
//   none      | never changed, or after Uninstall | not armed
//   pending   | an OK that needs a restart        | armed; counts its starts
//   confirmed | the check's OK                    | not armed
//   undone    | an undo that went in              | not armed
//
// A check that starts again (Windows deleted its entry, so it arms itself first) finds the
// earlier start unanswered and undoes at once: nobody could see the count-down. An undo whose
// backups do not go back in keeps the check armed for another try, three in all.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "services/History.h"

// Values of the settings key.
inline constexpr char ChangeStateValue[] = "ChangeState";            // a ChangeState, a DWORD
inline constexpr char ChangeBeforeFileValue[] = "ChangeBeforeFile";  // the file an undo takes
inline constexpr char CheckArmedOnValue[] =
    "CheckArmedOn";  // when the change began, "YYYY-MM-DD HH:MM"
// The modes Windows had stored for its displays when the change began, one
// "device=width,height,bits,rate" per line.
inline constexpr char ChangeDisplayModesValue[] = "ChangeDisplayModes";
inline constexpr char CheckStartsValue[] = "CheckStarts";  // starts of the armed check, a DWORD
inline constexpr char UndoTriesValue[] = "UndoTries";      // undos that did not go in, a DWORD
// For the next ordinary start: the date of a change undone unasked, or of one that could not be
// undone at all.
inline constexpr char ChangeUndoneValue[] = "UnconfirmedChange";
inline constexpr char ChangeNotUndoneValue[] = "ChangeNotUndone";

inline constexpr char ChangeNotUndoneText[] =
    "The display driver's settings changed on %s were not confirmed, and Cadenzo could not put "
    "back the settings from before: no backup went back in. Choose the rates you want and press "
    "OK, or import lastknowngood.dat or firstrun.dat from Cadenzo's folder by hand.";
inline constexpr char ChangeNotUndoneCaption[] = "Cadenzo";

// An undo gives up after this many tries that put nothing back, and says so.
constexpr std::uint32_t MaxUndoTries = 3;

enum class ChangeState : std::uint32_t { None = 0, Pending = 1, Confirmed = 2, Undone = 3 };

struct PendingChange {
    ChangeState state = ChangeState::None;
    std::string date;        // when its first OK was pressed
    std::string beforeFile;  // lastknowngood.dat as that OK took it
};

// The display mode Windows had stored for a display, to store again on undo.
struct StoredMode {
    std::string device;
    std::uint32_t width = 0, height = 0, bitsPerPel = 0, frequency = 0;
};

PendingChange ReadChange(platform::Registry& registry);
bool ChangePending(platform::Registry& registry);

// An OK that needs a restart, before it writes any driver value: records the change as pending
// (the first OK of a change also its date, its before-file and the modes Windows has stored
// for its displays), arms the check after the restart, and flushes all of it to disk, so that
// a power cut during the writes that follow finds the check armed.
void BeginChange(platform::Platform& os, const std::string& beforeFile,
                 const std::string& driverKey);

// The check's first act at every start: the entry armed again, the start counted. The number
// of earlier starts that nobody answered (0 the first time).
int CountCheckStart(platform::Platform& os);

// The check's OK: the change is confirmed and kept, the check disarmed.
void ConfirmChange(platform::Platform& os);

// Something else put the settings from before back (Restore Registry, Uninstall, the blind
// restore): a pending change is over, its check disarmed and its record dropped.
void EndChange(platform::Platform& os);

enum class UndoResult {
    Undone,     // the before-file (or firstrun.dat) went back in; the change is over
    NotYet,     // nothing went in; the check stays armed and tries again at the next start
    GaveUp,     // nothing went in, the last of its tries: the check is disarmed
    NoBackups,  // neither file is there; the check is disarmed
};

// Puts back the settings from before the pending change: the modes Windows had stored first
// (a mode change may make the system rewrite the driver key, which must not undo the import),
// then the before-file, or firstrun.dat when that does not go in. The history tells `done`
// with the file that went in, or for `origin` each file that did not. Does not restart Windows.
UndoResult UndoChange(platform::Platform& os, HistoryEvent done, const std::string& origin);

// The first half of an undo: the modes Windows had stored when the change began are stored
// and in force again, and the driver key has settled after the switch. Nothing when no change
// is pending.
void PutBackStoredModes(platform::Platform& os);

// The modes Windows has stored for its active displays now.
std::vector<StoredMode> StoredModesNow(platform::Display& display);
// The mode of `width`x`height` (and `bitsPerPel`, unless 0) with the lowest rate from 60 Hz up
// that the device offers; none when it offers no such rate.
std::optional<platform::DisplayMode> LowestRateMode(platform::Display& display,
                                                    const std::string& deviceName,
                                                    std::uint32_t width, std::uint32_t height,
                                                    std::uint32_t bitsPerPel);
// Stores each mode again as the one Windows starts with and switches to it. A mode the driver
// does not offer now (it still refuses it until the restart) stores nothing: Windows keeps the
// mode it has stored, and no rate the driver offers now is safe to store instead.
void StoreModesAgain(platform::Display& display, const std::vector<StoredMode>& modes);

// Remembers, for the next ordinary start, that the change armed on the date stored was undone
// because nobody confirmed it.
void NoteUnconfirmedChange(platform::Platform& os);
// The date of a change undone unasked, once: the value is gone afterwards.
std::optional<std::string> TakeUnconfirmedChange(platform::Platform& os);
// The date of a change the check could not undo, once.
std::optional<std::string> TakeChangeNotUndone(platform::Platform& os);
