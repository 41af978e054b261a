#pragma once
// The one place where the program's texts (bytes) become the UTF-16 that Windows shows, and
// back. Only Win32 code includes it.

#include <string>

namespace platform {

// The UTF-16 text of the wide Windows API. Character traits of its own keep libstdc++'s
// prebuilt WideString out of the exe: the linker keeps all of a library object that is used
// (its unwind tables name every function), 35 KB for the x86 build; with these traits only the
// members the program calls are compiled in.
struct WideTraits : std::char_traits<wchar_t> {};
using WideString = std::basic_string<wchar_t, WideTraits>;

// A text to show: UTF-8 after the UTF-8 mark (which is not shown), in the ANSI code page
// otherwise (see platform/Utf8Text.h). The text ends at its first NUL (a registry string may
// carry its terminator).
WideString ToWide(const std::string& text);

// What the user typed, as the program's texts are: in the ANSI code page, characters it lacks
// replaced as the system does.
std::string FromWide(const WideString& text);

// A path or name as the platform's file calls take it: ASCII as it is, any other in UTF-8
// after the UTF-8 mark, so that no character is lost to the code page.
std::string PathFromWide(const WideString& text);

}  // namespace platform
