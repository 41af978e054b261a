#pragma once
// Applying the user's choice: the control panel's maximum rate, and the RunOnce entry that
// checks the new modes after the restart.

#include <cstdint>
#include <string>
#include <vector>

#include "lang/LanguageState.h"
#include "modes/ModeTable.h"
#include "platform/MessageBoxes.h"
#include "services/RegistryCursor.h"
#include "services/Restart.h"

// For the history: every resolution with its rate in force before OK (`before`, entry by
// entry) and the one chosen, "640x480 60 Hz, 1024x768 60 Hz -> 85 Hz"; no rate left is "none".
std::string AppliedRatesText(const ModeEntries& table, const std::vector<std::uint8_t>& before);

// The largest rate in force below NoRateLeft; 0 when there is none.
std::uint8_t HighestSelectedRate(const ModeEntries& table);

// Whether CorrectMaxRefresh would raise the pair named by `infoName`: the Info value allows
// less than `highest`. Reads only and tells nothing; a value it cannot read is never raised.
bool MaxRefreshBelow(RegistryCursor& cursor, const std::string& driverKey, std::uint8_t highest,
                     const std::string& infoName);

// Raises the highest rate the display control panel allows (byte 8 of the Info value, byte
// 16 of the MaxModeInfo value, both in the driver key) to `highest` when the Info value holds
// less, after a warning. True when it corrected the values. A value of another type or longer
// than 2048 bytes is left alone, after a notice that names it.
bool CorrectMaxRefresh(RegistryCursor& cursor, const std::string& driverKey, std::uint8_t highest,
                       const std::string& infoName, const std::string& maxModeInfoName,
                       platform::MessageBoxes& boxes, const LanguageState& language);
