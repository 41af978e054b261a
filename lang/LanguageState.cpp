#include "lang/LanguageState.h"

#include "services/RegistryValues.h"
#include "services/Settings.h"

void ReadLangFileName(platform::Registry& registry, LanguageState& language) {
    language.LanguageFile.clear();
    ReadRegBytes(registry, SettingsKey, LangFileNameValue, language.LanguageFile);
}
