#pragma once
// Letter case as Windows ignores it in paths, value names and switches: ASCII letters only,
// whatever the locale.

#include <cstddef>
#include <string>

namespace platform {

inline char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
inline char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline std::string UpperCase(std::string text) {
    for (char& c : text)
        c = UpperCase(c);
    return text;
}

inline std::string LowerCase(std::string text) {
    for (char& c : text)
        c = LowerCase(c);
    return text;
}

// Whether the `count` characters at `a` and at `b` are the same but for case. In place, with no
// copies: the display and registry lookups call it for every mode and value.
inline bool SameCharsIgnoringCase(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (a[i] != b[i] && LowerCase(a[i]) != LowerCase(b[i])) return false;
    }
    return true;
}

inline bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && (a == b || SameCharsIgnoringCase(a.data(), b.data(), a.size()));
}

inline bool StartsIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           SameCharsIgnoringCase(text.data(), prefix.data(), prefix.size());
}

}  // namespace platform
