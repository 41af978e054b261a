#pragma once
// What the window's Import and Export and /APPLY share: the profile file read, and the
// messages' texts.

#include <optional>
#include <string>
#include <vector>

#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "profile/Profile.h"

// A dialog's title and its messages' caption: the menu entry's text without its dots.
std::string ProfileCaption(const LanguageState& language, TextId item);

// The intro, then one line each; a message lists at most 20 lines, a longer list ends in "...".
std::string Listed(const std::string& intro, const std::vector<std::string>& lines);

// The profile in the file at `path`; none, after a notice that says why, when the file cannot
// be read or holds no profile this program reads.
std::optional<profile::Profile> ReadProfileFile(platform::Platform& os,
                                                const LanguageState& language,
                                                const std::string& path);
