#include "services/Format.h"

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
