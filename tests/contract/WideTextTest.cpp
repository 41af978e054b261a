// The conversion between the program's texts and what Windows shows, under Wine with the
// rig's ANSI code page 1252: UTF-8 when a text begins with the UTF-8 mark, ANSI otherwise.
// Windows only: nothing above the platform converts texts.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Utf8Text.h"
#include "platform/win32/WideText.h"

using platform::FromWide;
using platform::ToWide;

namespace {

struct Shown {
    std::string bytes;
    platform::WideString expected;
};

void ExpectShown(const std::vector<Shown>& cases) {
    for (const Shown& c : cases)
        EXPECT_EQ(ToWide(c.bytes), c.expected) << "bytes: " << c.bytes;
}

std::string Marked(const std::string& utf8) { return platform::Utf8Mark + utf8; }

bool CodePage1252() {
    if (GetACP() == 1252) return true;
    ADD_FAILURE() << "these cases expect ANSI code page 1252, the rig has " << GetACP();
    return false;
}

// Without the mark, the UTF-8 bytes of these would be ANSI text.
TEST(WideText, MarkedTextsShowAsUtf8WithoutTheMark) {
    ExpectShown({
        {Marked("Ключ реестра не найден"), L"Ключ реестра не найден"},
        {Marked("Разрешенная глубина цвета:"), L"Разрешенная глубина цвета:"},
        {Marked("Rate: 60 Гц"), L"Rate: 60 Гц"},
        {Marked("60 Hz"), L"60 Hz"},
        {Marked(""), L""},
        {Marked("\xC2\x80"), L"\u0080"},              // the smallest two-byte sequence
        {Marked("\xEF\xBF\xBD"), L"\uFFFD"},          // three bytes
        {Marked("\xF0\x9F\x98\x80"), L"\U0001F600"},  // four bytes: a surrogate pair
        {Marked("\xF4\x8F\xBF\xBF"), L"\U0010FFFF"},  // the last code point
    });
}

TEST(WideText, AnsiTextsShowAsTheCodePageHasThem) {
    if (!CodePage1252()) return;
    ExpectShown({
        {"Rate: 60 Hz", L"Rate: 60 Hz"},
        {"R\xE9solution", L"R\u00E9solution"},
        {"\x80 \xA9 \xFF", L"\u20AC \u00A9 \u00FF"},
        // Bytes that start like UTF-8 and are not: truncated, overlong, a surrogate, beyond
        // U+10FFFF, a lone continuation byte, and a good sequence before a bad one.
        {"Caf\xC3", L"Caf\u00C3"},
        {"\xE2\x82", L"\u00E2\u201A"},
        {"\xF0\x9F\x98", L"\u00F0\u0178\u02DC"},
        {"\xC0\xAF", L"\u00C0\u00AF"},
        {"\xE0\x80\x80", L"\u00E0\u20AC\u20AC"},
        {"\xED\xA0\x80", L"\u00ED\u00A0\u20AC"},
        {"\xF4\xA0\x80\x80", L"\u00F4\u00A0\u20AC\u20AC"},
        {"\xF5\x80\x80\x80", L"\u00F5\u20AC\u20AC\u20AC"},
        {"\xA9 2001", L"\u00A9 2001"},
        {"\xD0\x9A\xE9", L"\u00D0\u0161\u00E9"},
        // Well-formed UTF-8 without the mark, and a mark that does not open the text.
        {"Caf\xC3\xA9", L"Caf\u00C3\u00A9"},
        {"\xD0\x9A\xD0\xBB", L"\u00D0\u0161\u00D0\u00BB"},
        {"60 \xEF\xBB\xBFHz", L"60 \u00EF\u00BB\u00BFHz"},
        {" \xEF\xBB\xBF\xD0\x9A", L" \u00EF\u00BB\u00BF\u00D0\u0161"},
    });
}

TEST(WideText, ATextEndsAtItsFirstNul) {
    using namespace std::string_literals;
    ExpectShown({
        {""s, L""},
        {"\0junk"s, L""},
        {"60 Hz\0"s, L"60 Hz"},  // a registry string with its terminator
        {Marked("Ключ\0"s), L"Ключ"},
        {"60 Hz\0Ключ"s, L"60 Hz"},  // what follows the NUL decides nothing
        {Marked("\0Ключ"s), L""},
        {"\0"s + Marked("Ключ"), L""},
    });
    EXPECT_EQ(FromWide(platform::WideString(L"85\0junk", 7)), "85");
    EXPECT_EQ(FromWide(L""), "");
}

TEST(WideText, TypedTextComesBackInTheCodePage) {
    if (!CodePage1252()) return;
    EXPECT_EQ(FromWide(L"85"), "85");
    EXPECT_EQ(FromWide(L"R\u00E9sum\u00E9 \u20AC"), "R\xE9sum\xE9 \x80");
    // Characters the code page lacks, as the system replaces them.
    EXPECT_EQ(FromWide(L"Ключ"), "????");
    // Every ANSI character comes back as the byte it was shown from.
    for (int byte = 1; byte < 256; ++byte) {
        std::string text(1, static_cast<char>(byte));
        EXPECT_EQ(FromWide(ToWide(text)), text) << "byte " << byte;
    }
}

}  // namespace
