#pragma once
// The program's texts are bytes in the system's ANSI code page. The few that are not (built-in
// Russian texts, a language file written in UTF-8) begin with the UTF-8 mark where they are
// defined or read in; whatever shows or stores a text goes by the mark, never by a guess from
// the bytes. In the sources the mark is "\uFEFF" at the start of the literal, which the
// compiler writes in UTF-8 as it does the text itself:
//
//   constexpr char NotFoundPreset[] = "\uFEFFКлюч реестра не найден";

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// U+FEFF, the byte order mark, in UTF-8.
inline constexpr char Utf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t Utf8MarkSize = sizeof Utf8Mark - 1;
static_assert(std::string_view("\uFEFF") == Utf8Mark, "string literals must be UTF-8");

inline bool IsUtf8Marked(std::string_view text) { return text.substr(0, Utf8MarkSize) == Utf8Mark; }

// The text without its mark: the UTF-8 characters of a marked text, any other text as it is.
inline std::string WithoutUtf8Mark(std::string_view text) {
    return std::string(IsUtf8Marked(text) ? text.substr(Utf8MarkSize) : text);
}

// Two texts as one, marked when either part is; the mark stays only at the start. A part
// without the mark is taken to be ASCII (a number, a blank, an English word), which reads the
// same in UTF-8.
inline std::string JoinText(std::string_view first, std::string_view second) {
    if (!IsUtf8Marked(first) && !IsUtf8Marked(second)) return std::string(first) += second;
    return Utf8Mark + WithoutUtf8Mark(first) + WithoutUtf8Mark(second);
}

}  // namespace platform
