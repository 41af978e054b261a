#include "services/Format.h"

#include <algorithm>

#include "platform/Utf8Text.h"

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// The characters beyond ASCII shown as "?": no way to convert them here.
std::string AsciiOnly(std::string text) {
    for (char& c : text) {
        if (c & 0x80) c = '?';
    }
    return text;
}

}  // namespace

std::string FormatText(const std::string& text, const std::string& argument) {
    std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    // A text in UTF-8 and one in the code page (a file name beyond the code page in a language
    // file's text, say) join only where the other is ASCII.
    std::string filled = argument;
    bool textMarked = platform::IsUtf8Marked(text);
    bool argumentMarked = platform::IsUtf8Marked(argument);
    if (textMarked != argumentMarked &&
        !IsAscii(platform::WithoutUtf8Mark(textMarked ? argument : text)))
        filled =
            argumentMarked ? AsciiOnly(platform::WithoutUtf8Mark(argument)) : AsciiOnly(argument);
    return platform::JoinText(platform::JoinText(text.substr(0, at), filled), text.substr(at + 2));
}
