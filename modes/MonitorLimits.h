#pragma once
// OK against the monitor's own limits: the rates chosen that ask more of the monitor than its
// EDID says it can show, asked about once before anything is backed up or written.

#include <string>
#include <vector>

#include "lang/LanguageState.h"
#include "modes/ModeTable.h"
#include "monitor/Edid.h"
#include "monitor/RangeCheck.h"
#include "platform/Platform.h"

// The rates OK makes the driver use: each row's chosen rate, but for a row without a rate left,
// and for one left at its lowest rate, where nothing is refused (unless `hiFreq` refuses the
// rates above it too): what the driver offers there stays as it is.
std::vector<monitor::Mode> ChosenModes(const ModeEntries& table, bool hiFreq);

// The question: the monitor's name, then one line per mode with what it needs and the
// monitor's limit.
std::string MonitorLimitsQuestion(const std::string& monitorName,
                                  const std::vector<monitor::ModeBeyondLimits>& beyond,
                                  const LanguageState& language);

// True when OK may go on: no usable EDID (none, a bad sum, no range limits), nothing beyond
// the limits, or Yes to the question.
bool ConfirmMonitorLimits(platform::Platform& os, const std::string& adapterName,
                          const ModeEntries& table, bool hiFreq, const LanguageState& language);
