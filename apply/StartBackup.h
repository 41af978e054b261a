#pragma once
// The backup every ordinary start takes, and an apply from the command line or the watch with
// it: the check after a restart falls back to this start's "backup.dat", never to an older one
// of another driver.

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "platform/Platform.h"

enum class StartBackup {
    Taken,
    Busy,    // another Cadenzo is writing: not taken, and said so
    Failed,  // the export failed, and that was said; or there is no driver key to protect
};

// Exports the driver key to "backup.dat" under the writer lock.
StartBackup TakeStartBackup(platform::Platform& os, const AdapterState& adapter,
                            const LanguageState& language);
