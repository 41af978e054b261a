#pragma once
// The help command: the help file in the install directory, opened in the system's viewer.

#include <string>

#include "lang/LanguageState.h"
#include "platform/Platform.h"

inline constexpr char HelpViewer[] = "hh.exe";

// The viewer's parameter: the install directory, "\" and the help file (language text 1 when a
// language file is in use), in double quotes, so that a directory with a blank in its name
// ("C:\Program Files\Cadenzo") still names one file.
std::string HelpFileParameter(const std::string& installDir, const LanguageState& language);

// Starts the viewer on the help file; whatever goes wrong there is the viewer's to say.
void OpenHelp(platform::Platform& os, const LanguageState& language);
