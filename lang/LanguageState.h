#pragma once
// The texts of the language in use. Until a language file is loaded and accepted,
// LanguageActive is false and every window shows its built-in English texts.

#include <array>
#include <string>

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
