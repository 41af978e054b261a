#pragma once
// Writing the diagnostic report: the text, the registry exports and the script that joins them,
// all in the current directory.

#include <cstdint>

#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "report/ReportText.h"

// How long the report waits for the registry editors together, and then for the script.
constexpr std::uint32_t ReportTimeoutMs = 30000;

// Whether "IgnoreMonitorCAPS" in the settings is above 0 (absent counts as 0).
bool IgnoreMonitorCaps(platform::Registry& registry);

// Writes the report text, lets the registry editor export the report's keys side by side and
// waits for all of them, then writes the script and runs it hidden, waiting for it too, so
// that the report is whole when this returns. True when the text and the script were written,
// every export ended in time and the script started, ended in time and left the joined report
// under its name. A failed write stops nothing; an export still running when the time is up
// keeps the script from starting, as it would join a file being written. On failure the
// exports, the script and its working files are removed.
bool CreateReport(platform::Platform& os, const ReportFacts& facts);

// Says whether the report was created, in the language in use.
void ShowReportResult(platform::MessageBoxes& boxes, const LanguageState& language, bool created);
