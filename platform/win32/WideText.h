#pragma once
// The one place where the program's texts (bytes) become the UTF-16 that Windows shows, and
// back. Only Win32 code includes it.

#include <string>

namespace platform {

// A text to show: UTF-8 after the UTF-8 mark (which is not shown), in the ANSI code page
// otherwise (see platform/Utf8Text.h). The text ends at its first NUL (a registry string may
// carry its terminator).
std::wstring ToWide(const std::string& text);

// What the user typed, as the program's texts are: in the ANSI code page, characters it lacks
// replaced as the system does.
std::string FromWide(const std::wstring& text);

}  // namespace platform
