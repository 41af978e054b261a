#include "lang/LanguageState.h"

#include "lang/LanguageFile.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

namespace {

constexpr char kCantOpenText[] = "Can't open ";
constexpr char kWrongVersionText[] = "Wrong version of LNG File";
constexpr char kErrorCaption[] = "Error";

}  // namespace

std::string LanguageState::Text(TextId id) const {
    if (!LanguageActive) return BuiltInText(id);
    int slot = SlotOf(id);
    if (slot <= TextCount) return LanguageTexts[slot - 1];
    auto named = NamedTexts.find(slot);
    return named != NamedTexts.end() ? named->second : BuiltInText(id);
}

void ReadLangFileName(platform::Registry& registry, LanguageState& language) {
    language.LanguageFile.clear();
    ReadRegString(registry, SettingsKey, LangFileNameValue, language.LanguageFile);
}

bool LoadLanguage(platform::Platform& os, LanguageState& language) {
    language.LanguageActive = false;
    language.LanguageTexts.fill(std::string());
    language.NamedTexts.clear();
    ReadLangFileName(os.registry, language);
    const std::string& stored = language.LanguageFile;
    // A terminator more that another tool stored is no part of the name; none names no file.
    std::string name = stored.substr(0, stored.find('\0'));
    if (name.empty()) return false;
    std::optional<std::string> bytes =
        os.files.ReadAll(InstallPath(GetInstallDir(os.registry), name));
    if (!bytes) {
        platform::ShowNotice(os.boxes, kCantOpenText + name, kErrorCaption);
        return false;
    }
    LanguageLines file = ReadLanguageLines(*bytes);
    if (!HasRightVersion(file)) {
        platform::ShowNotice(os.boxes, kWrongVersionText, kErrorCaption);
        return false;
    }
    // Lines past the last slot have nowhere to go and are left unread.
    for (std::size_t k = 1; k < file.lines.size() && k <= LanguageState::TextCount; ++k)
        language.LanguageTexts[k - 1] = file.AsText(file.lines[k]);
    // Texts added after the first 80 come by name, after text 80; the credit after them is no
    // text of this kind.
    for (std::size_t k = LastPlacedText + 1; k < file.lines.size(); ++k) {
        if (auto named = NamedText(file.lines[k]))
            language.NamedTexts[named->first] = file.AsText(named->second);
    }
    language.LanguageActive = true;
    return true;
}
