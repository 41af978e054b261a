#include "services/NumberText.h"

NumberStart ScanNumberStart(const std::string& text) {
    NumberStart start;
    std::size_t& i = start.digits;
    const std::size_t end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) start.negative = text[i++] == '-';
    auto isX = [&](std::size_t at) { return at < end && (text[at] == 'x' || text[at] == 'X'); };
    if (i < end && (text[i] == '$' || isX(i))) {
        start.base = 16;
        ++i;
    } else if (i < end && text[i] == '0' && isX(i + 1)) {
        start.base = 16;
        i += 2;
    }
    return start;
}

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}
