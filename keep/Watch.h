#pragma once
// The watch at logon ("Cadenzo.exe /WATCH"): whether the rates Cadenzo applied are still in
// the driver's values, or a driver update or reinstall took them away.

#include <string>
#include <vector>

#include "adapters/AdapterState.h"
#include "keep/AppliedRecord.h"
#include "keep/WatchEntry.h"
#include "platform/Platform.h"

enum class WatchFinding {
    NothingApplied,  // no confirmed record: nothing to watch
    AllWell,
    AdapterGone,  // no adapter, another card, or its driver key does not open
    RatesLost,
};

struct WatchResult {
    WatchFinding finding = WatchFinding::NothingApplied;
    std::vector<std::string> lost;  // "1024x768, 85 Hz" for each resolution whose rate is gone
    bool switchesChanged = false;   // a driver switch or the anisotropy is not as applied
    std::string driverBefore, driverNow;  // "6.14.10.6396 (2004-05-01)": version and date
};

// Compares the driver's values of the adapter found now with the confirmed record.
WatchResult ExamineDriver(platform::Registry& registry, const AdapterState& adapter,
                          const AppliedRecord& record);

// The switch after the program's path, a word of its own in any letter case.
bool HasWatchSwitch(const std::string& commandLine);

// The Run entry: whether it is there, and turning it on (with the program's path) or off.
bool WatchEnabled(platform::Registry& registry);
void EnableWatch(platform::Registry& registry, const std::string& installDir, bool on);
