#pragma once
// Letter case as Windows ignores it in paths, value names and switches: ASCII letters only,
// whatever the locale.

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

inline bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return LowerCase(a) == LowerCase(b);
}

inline bool StartsIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace platform
