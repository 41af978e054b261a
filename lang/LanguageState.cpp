#include "lang/LanguageState.h"

#include "lang/LanguageFile.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

namespace {

constexpr char kCantOpenText[] = "Can't open ";
constexpr char kWrongVersionText[] = "Wrong version of LNG File";
constexpr char kErrorCaption[] = "Error";

}  // namespace

void ReadLangFileName(platform::Registry& registry, LanguageState& language) {
    language.LanguageFile.clear();
    ReadRegString(registry, SettingsKey, LangFileNameValue, language.LanguageFile);
}

bool LoadLanguage(platform::Platform& os, LanguageState& language) {
    language.LanguageActive = false;
    language.LanguageTexts.fill(std::string());
    ReadLangFileName(os.registry, language);
    const std::string& stored = language.LanguageFile;
    // A terminator more that another tool stored is no part of the name; none names no file.
    std::string name = stored.substr(0, stored.find('\0'));
    if (name.empty()) return false;
    std::optional<std::string> bytes =
        os.files.ReadAll(InstallPath(GetInstallDir(os.registry), name));
    if (!bytes) {
        os.boxes.Show(kCantOpenText + name, kErrorCaption, platform::Buttons::Ok,
                      platform::Icon::None);
        return false;
    }
    LanguageLines file = ReadLanguageLines(*bytes);
    if (!HasRightVersion(file)) {
        os.boxes.Show(kWrongVersionText, kErrorCaption, platform::Buttons::Ok,
                      platform::Icon::None);
        return false;
    }
    // Lines past the last slot have nowhere to go and are left unread.
    for (std::size_t k = 1; k < file.lines.size() && k <= LanguageState::TextCount; ++k)
        language.LanguageTexts[k - 1] = file.AsText(file.lines[k]);
    language.LanguageActive = true;
    return true;
}
