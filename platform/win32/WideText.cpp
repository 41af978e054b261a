#include "platform/win32/WideText.h"

#include <windows.h>

namespace platform {
namespace {

// Length of the UTF-8 sequence that starts at text[at], or 0 when none starts there: no
// overlong forms, no surrogates, nothing beyond U+10FFFF.
size_t Utf8SequenceAt(const std::string& text, size_t at) {
    auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    }
    return length;
}

// Well-formed UTF-8 with at least one character beyond ASCII. An ANSI text with accented or
// Cyrillic letters practically never is: its letters lie from 0xC0 up, and each would have to be
// followed by just the right number of bytes from 0x80 to 0xBF, which in the ANSI code pages
// are punctuation and rare signs.
bool IsUtf8BeyondAscii(const std::string& text) {
    bool beyondAscii = false;
    for (size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        size_t length = Utf8SequenceAt(text, at);
        if (length == 0) return false;
        beyondAscii = true;
        at += length;
    }
    return beyondAscii;
}

}  // namespace

std::wstring ToWide(const std::string& text) {
    const std::string shown = text.substr(0, text.find('\0'));
    if (shown.empty()) return {};
    UINT codePage = IsUtf8BeyondAscii(shown) ? CP_UTF8 : CP_ACP;
    int size = static_cast<int>(shown.size());
    std::wstring wide(MultiByteToWideChar(codePage, 0, shown.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, shown.data(), size, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::string FromWide(const std::wstring& text) {
    const std::wstring typed = text.substr(0, text.find(L'\0'));
    if (typed.empty()) return {};
    int size = static_cast<int>(typed.size());
    std::string bytes(
        WideCharToMultiByte(CP_ACP, 0, typed.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, typed.data(), size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

}  // namespace platform
