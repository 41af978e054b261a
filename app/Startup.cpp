#include "app/Startup.h"

#include "adapters/CardDatabase.h"
#include "platform/CaseFold.h"
#include "services/Restart.h"
#include "services/Settings.h"

std::string WindowsVersionText(std::uint32_t version) {
    std::string text = std::to_string(version & 0xFF) + "." + std::to_string((version >> 8) & 0xFF);
    if (!IsWindows9x(version)) text += "." + std::to_string(version >> 16);
    return text;
}

bool HasCheckSwitch(const std::string& commandLine) {
    return platform::UpperCase(commandLine).find("/CHECK") != std::string::npos;
}

void RememberInstallDir(platform::Platform& os) {
    if (os.files.Exists(CardDatabaseFile)) SaveInstallDir(os);
}
