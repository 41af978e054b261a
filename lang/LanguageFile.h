#pragma once
// The format of a language file (".lng"): lines of bytes in the system's ANSI code page, or
// of UTF-8 when the file starts with the UTF-8 mark. Comment and empty lines do not count; the
// first counted line holds the version, the following ones texts 1 to 100; texts from 101 up
// are named by their number on lines of their own after text 80.

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct LanguageLines {
    bool utf8 = false;               // the file started with the UTF-8 mark
    std::vector<std::string> lines;  // the counted lines, as bytes, without any mark

    // A text of this file as the program keeps texts: marked when it is UTF-8 beyond ASCII.
    // A text in ASCII reads the same either way and stays unmarked, so that a file name
    // (text 1, the help file) is usable as it is.
    std::string AsText(const std::string& line) const;
};

// Splits a file's bytes by the language file's line rules: a line ends at CR, an LF right
// after it is skipped, a lone LF is part of the text, Ctrl+Z ends the file. Nothing is
// trimmed.
LanguageLines ReadLanguageLines(const std::string& bytes);

// A line "N=text" that carries text N (from 101 up) by its number: N and the text after the
// "=". Nothing for any other line, a credit line among them.
std::optional<std::pair<int, std::string>> NamedText(const std::string& line);

// The file is for this version of the program: it has a version line, and that line after its
// first ten characters is exactly the program's version.
bool HasRightVersion(const LanguageLines& file);

// How the language dialog lists an acceptable file: its language name (counted line 3), a
// blank and its last counted line in square brackets; nothing for a file of another version.
std::optional<std::string> LanguageListEntry(const LanguageLines& file);
