#include "services/Format.h"

#include <algorithm>

#include "platform/Utf8Text.h"

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// Each character beyond ASCII shown as "?": no way to convert it here. In UTF-8 a character
// beyond ASCII is a lead byte and the bytes that continue it (10xxxxxx).
std::string AsciiOnly(const std::string& text, bool utf8) {
    std::string ascii;
    for (char c : text) {
        if (!(c & 0x80)) {
            ascii += c;
        } else if (!utf8 || (c & 0xC0) != 0x80) {
            ascii += '?';
        }
    }
    return ascii;
}

}  // namespace

std::string DateText(const platform::LocalTime& t) {
    return ZeroPadded(t.year, 4) + "-" + ZeroPadded(t.month, 2) + "-" + ZeroPadded(t.day, 2) + " " +
           ZeroPadded(t.hour, 2) + ":" + ZeroPadded(t.minute, 2);
}

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
        filled = AsciiOnly(platform::WithoutUtf8Mark(argument), argumentMarked);
    return platform::JoinText(platform::JoinText(text.substr(0, at), filled), text.substr(at + 2));
}

std::string ZeroPadded(int value, int width) {
    std::string digits = std::to_string(value);
    std::size_t size = static_cast<std::size_t>(width);
    return std::string(digits.size() < size ? size - digits.size() : 0, '0') + digits;
}

std::string SizeText(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string ModeText(std::uint32_t width, std::uint32_t height, std::uint32_t rate) {
    return SizeText(width, height) + ", " + std::to_string(rate) + " Hz";
}
