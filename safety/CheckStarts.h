#pragma once
// The check after a restart stays armed until it is answered. Windows deletes its RunOnce
// entry before it starts the check, so a machine switched off during the count-down (what
// people do at a dark screen) would come back with the new rates and no check. The check arms
// itself again first, and counts its starts: one that finds an earlier start unanswered undoes
// the change at once, without a count-down nobody can see.

#include <optional>
#include <string>

#include "platform/Platform.h"

// Values of the settings key.
inline constexpr char CheckStartsValue[] = "CheckStarts";    // starts of the armed check, a DWORD
inline constexpr char CheckArmedOnValue[] = "CheckArmedOn";  // when OK armed it, "YYYY-MM-DD HH:MM"
inline constexpr char ChangeUndoneValue[] =
    "UnconfirmedChange";  // the date of a change undone unasked

// OK arms the check of its change: the RunOnce entry, the date, and a new count.
void ArmCheck(platform::Platform& os);

// The check's first act at every start: the entry armed again, the start counted. The number
// of earlier starts that nobody answered (0 the first time).
int CountCheckStart(platform::Platform& os);

// The check was answered, by OK or by a finished fall-back: no entry, no count.
void ClearCheck(platform::Platform& os);

// Remembers, for the next ordinary start, that the change armed on the date stored was undone
// because nobody confirmed it.
void NoteUnconfirmedChange(platform::Platform& os);

// The date of a change undone unasked, once: the value is gone afterwards.
std::optional<std::string> TakeUnconfirmedChange(platform::Platform& os);
