#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/Utf8Text.h"

namespace platform {

WideString ToWide(const std::string& text) {
    std::string_view shown(text.data(), std::min(text.find('\0'), text.size()));
    UINT codePage = CP_ACP;
    if (IsUtf8Marked(shown)) {
        codePage = CP_UTF8;
        shown.remove_prefix(Utf8MarkSize);
    }
    if (shown.empty()) return {};
    int size = static_cast<int>(shown.size());
    WideString wide(MultiByteToWideChar(codePage, 0, shown.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, shown.data(), size, wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

std::string FromWide(const WideString& text) {
    const WideString typed = text.substr(0, text.find(L'\0'));
    if (typed.empty()) return {};
    int size = static_cast<int>(typed.size());
    std::string bytes(
        WideCharToMultiByte(CP_ACP, 0, typed.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, typed.data(), size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

std::string PathFromWide(const WideString& text) {
    const WideString path = text.substr(0, text.find(L'\0'));
    if (std::all_of(path.begin(), path.end(), [](wchar_t c) { return c < 0x80; }))
        return std::string(path.begin(), path.end());
    int size = static_cast<int>(path.size());
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, path.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return Utf8Mark + utf8;
}

}  // namespace platform
