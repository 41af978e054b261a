#include "app/Startup.h"

#include <cctype>

#include "services/Restart.h"

std::string WindowsVersionText(std::uint32_t version) {
    std::string text = std::to_string(version & 0xFF) + "." + std::to_string((version >> 8) & 0xFF);
    if (!IsWindows9x(version)) text += "." + std::to_string(version >> 16);
    return text;
}

bool HasCheckSwitch(const std::string& commandLine) {
    std::string upper = commandLine;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("/CHECK") != std::string::npos;
}
