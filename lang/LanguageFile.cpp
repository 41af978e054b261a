#include "lang/LanguageFile.h"

#include "lang/TextTable.h"
#include "platform/Utf8Text.h"
#include "services/Settings.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kEndOfFile = '\x1A';  // Ctrl+Z
constexpr char kCommentMark = ';';
constexpr std::size_t kIgnoredVersionPrefix = 10;  // characters before the version number

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The byte offset of character `count` of a UTF-8 text: continuation bytes belong to the
// character before them.
std::size_t Utf8Offset(const std::string& text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
        if (seen++ == count) return at;
    }
    return at;
}

}  // namespace

std::string LanguageLines::AsText(const std::string& line) const {
    return utf8 && !IsAscii(line) ? platform::Utf8Mark + line : line;
}

LanguageLines ReadLanguageLines(const std::string& bytes) {
    LanguageLines file;
    file.utf8 = platform::IsUtf8Marked(bytes);
    std::size_t end = bytes.find(kEndOfFile);
    if (end == std::string::npos) end = bytes.size();
    std::size_t at = file.utf8 ? platform::Utf8MarkSize : 0;
    while (at < end) {
        std::size_t cr = bytes.find(kCarriageReturn, at);
        if (cr == std::string::npos || cr > end) cr = end;
        std::string line = bytes.substr(at, cr - at);
        at = cr + 1;
        if (at < end && bytes[at] == kLineFeed) ++at;
        if (!line.empty() && line[0] != kCommentMark) file.lines.push_back(std::move(line));
    }
    return file;
}

std::optional<std::pair<int, std::string>> NamedText(const std::string& line) {
    constexpr std::size_t kMostDigits = 4;
    std::size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0 || equals > kMostDigits) return std::nullopt;
    int number = 0;
    for (std::size_t i = 0; i < equals; ++i) {
        if (line[i] < '0' || line[i] > '9') return std::nullopt;
        number = number * 10 + (line[i] - '0');
    }
    if (number < FirstNamedText) return std::nullopt;
    return std::make_pair(number, line.substr(equals + 1));
}

bool HasRightVersion(const LanguageLines& file) {
    if (file.lines.empty()) return false;
    const std::string& line = file.lines.front();
    std::size_t skip = file.utf8 ? Utf8Offset(line, kIgnoredVersionPrefix) : kIgnoredVersionPrefix;
    return line.size() > skip && line.compare(skip, std::string::npos, ProgramVersion) == 0;
}

std::optional<std::string> LanguageListEntry(const LanguageLines& file) {
    if (!HasRightVersion(file)) return std::nullopt;
    // The name is taken after the entry of its own line was formed: a file of three counted
    // lines or fewer has an empty name part.
    std::string name = file.lines.size() > 3 ? file.lines[2] : std::string();
    return file.AsText(name + " [" + file.lines.back() + "]");
}
