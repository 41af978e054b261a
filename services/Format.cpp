#include "services/Format.h"

std::string DateText(const platform::LocalTime& t) {
    return ZeroPadded(t.year, 4) + "-" + ZeroPadded(t.month, 2) + "-" + ZeroPadded(t.day, 2) + " " +
           ZeroPadded(t.hour, 2) + ":" + ZeroPadded(t.minute, 2);
}

std::string FormatText(const std::string& text, const std::string& argument) {
    std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + argument + text.substr(at + 2);
}

std::string ZeroPadded(int value, int width) {
    std::string digits = std::to_string(value);
    std::size_t size = static_cast<std::size_t>(width);
    return std::string(digits.size() < size ? size - digits.size() : 0, '0') + digits;
}
