#pragma once
// The texts of the language in use. Until a language file is loaded and accepted,
// LanguageActive is false and every window shows its built-in English texts.

#include <array>
#include <string>

struct LanguageState {
    static constexpr int TextCount = 100;

    bool LanguageActive = false;
    std::array<std::string, TextCount> LanguageTexts;
    std::string LanguageFile;  // the "LangFileName" setting as last read, possibly empty
};
