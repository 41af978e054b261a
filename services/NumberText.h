#pragma once
// Numbers as they are typed into the program's fields: blanks, a sign, then decimal digits, or
// hexadecimal ones after "$", "x" or "0x" (either case).

#include <cstddef>
#include <string>

struct NumberStart {
    std::size_t digits = 0;  // where the digits begin
    bool negative = false;
    int base = 10;
};

// Skips leading blanks, an optional sign and a hexadecimal prefix.
NumberStart ScanNumberStart(const std::string& text);

// The value of digit `c` in `base` (10 or 16), or -1 when it is none.
int DigitValue(char c, int base);
