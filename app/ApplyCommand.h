#pragma once
// /APPLY and the watch's Apply again, without a window: the machine read, the profile's or the
// kept record's rates matched to it by the one rule, and the choice applied as OK applies it.

#include <cstdint>
#include <string>

#include "keep/AppliedRecord.h"
#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "ui/Application.h"

// /APPLY file [/S] [/NORESTART]: the exit code (services/ExitCodes.h). /S asks nothing (its
// messages go to `os`'s boxes, the console) and sets rates beyond the monitor's limits back to
// the rate in force; the restart follows unasked unless /NORESTART leaves it to the caller.
// Without /S the questions are the window's, the restart's too. An error is shown by `app`.
std::uint32_t ApplyProfileCommand(platform::Platform& os, ui::Application& app,
                                  const LanguageState& language, const std::string& file,
                                  bool silent, bool noRestart);

// Apply again: the record's rates, switches and anisotropy as chosen by hand, this start's
// backup taken, then applied; a restart is offered when one is needed, and the process ends
// once anything was written.
void ApplyRecordAgain(platform::Platform& os, ui::Application& app, const LanguageState& language,
                      const AppliedRecord& record);
