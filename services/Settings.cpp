#include "services/Settings.h"

#include "services/RegistryValues.h"

std::string GetInstallDir(platform::Registry& registry) {
    std::string dir = ".";
    ReadRegString(registry, SettingsKey, InstallDirValue, dir);
    return dir;
}

void SaveInstallDir(platform::Platform& os) {
    WriteRegString(os.registry, SettingsKey, InstallDirValue, os.system.CurrentDirectory());
}

void SaveLangFileName(platform::Registry& registry, const std::string& languageFile) {
    WriteRegString(registry, SettingsKey, LangFileNameValue, languageFile);
}

std::string InstallPath(const std::string& installDir, const std::string& fileName) {
    return installDir + "\\" + fileName;
}
