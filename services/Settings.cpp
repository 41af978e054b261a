#include "services/Settings.h"

#include "services/RegistryValues.h"

std::string GetInstallDir(platform::Registry& registry) {
    std::string dir = ".";
    ReadRegBytes(registry, SettingsKey, InstallDirValue, dir);
    if (!dir.empty() && dir.back() == '\0') dir.pop_back();
    return dir;
}

void SaveInstallDir(platform::Platform& os) {
    WriteRegString(os.registry, SettingsKey, InstallDirValue, os.system.CurrentDirectory());
}

void SaveLangFileName(platform::Registry& registry, const LanguageState& language) {
    WriteRegString(registry, SettingsKey, LangFileNameValue, language.LanguageFile);
}

std::string InstallPath(platform::Registry& registry, const std::string& fileName) {
    return GetInstallDir(registry) + "\\" + fileName;
}
