#include "services/Format.h"

namespace {

// Written by hand: the C library's formatting would bring its floating point into the exe.
std::string Digits(int value, int width) {
    std::string text = std::to_string(value);
    return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0,
                       '0') +
           text;
}

}  // namespace

std::string DateText(const platform::LocalTime& t) {
    return Digits(t.year, 4) + "-" + Digits(t.month, 2) + "-" + Digits(t.day, 2) + " " +
           Digits(t.hour, 2) + ":" + Digits(t.minute, 2);
}

std::string FormatText(const std::string& text, const std::string& argument) {
    std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + argument + text.substr(at + 2);
}
