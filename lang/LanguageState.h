#pragma once
// The texts of the language in use. Until a language file is loaded and accepted,
// LanguageActive is false and every window shows its built-in English texts.

#include <array>
#include <string>

#include "platform/Registry.h"

struct LanguageState {
    static constexpr int TextCount = 100;

    bool LanguageActive = false;
    std::array<std::string, TextCount> LanguageTexts;  // texts 1 to 100, at 0 to 99
    std::string LanguageFile;  // the "LangFileName" setting as last read, possibly empty

    // Language text k (1 to 100) while a language file is in use, else the built-in text.
    std::string Text(int k, const std::string& builtIn) const {
        return LanguageActive ? LanguageTexts[k - 1] : builtIn;
    }
};

// Reads the "LangFileName" setting into LanguageFile exactly as stored (a terminator another
// tool stored included), so that storing it back on the way out loses nothing. Empty when
// there is none.
void ReadLangFileName(platform::Registry& registry, LanguageState& language);
