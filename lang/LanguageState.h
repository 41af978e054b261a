#pragma once
// The texts of the language in use. Until a language file is loaded and accepted,
// LanguageActive is false and every window shows its built-in English texts.

#include <array>
#include <map>
#include <string>

#include "lang/TextTable.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

struct LanguageState {
    static constexpr int TextCount = 100;

    bool LanguageActive = false;
    std::array<std::string, TextCount> LanguageTexts;  // texts 1 to 100, at 0 to 99
    std::map<int, std::string> NamedTexts;             // texts from 101 up that the file names
    std::string LanguageFile;  // the "LangFileName" setting as last read, possibly empty

    // The text of a slot while a language file is in use, else the built-in text. A text from
    // 101 up that the file does not name is the built-in one too; one of the first 100 that the
    // file lacks is empty.
    std::string Text(TextId id) const;
};

// Reads the "LangFileName" setting into LanguageFile as stored, without the one terminator a
// string is stored with, so that storing it back on the way out gives the same bytes. Empty
// when there is none.
void ReadLangFileName(platform::Registry& registry, LanguageState& language);

// Loads the language file named by "LangFileName" from the install directory, as each main
// window's creation does. True when the file was accepted and its texts are in use; a file
// that cannot be read or is of another version is said so in a message box, and the built-in
// texts stay. The table is emptied first, so that no text of an earlier file lingers.
bool LoadLanguage(platform::Platform& os, LanguageState& language);
