#pragma once
// The main window's texts that a language file replaces.

#include "lang/LanguageState.h"

class TForm1;

// Puts the language's texts on the main window's captions, hints and menu: every one that the
// window's layout names as a language text. Only for a language in use: the built-in texts are
// the window's own.
void ApplyLanguage(TForm1& form, const LanguageState& language);
