#pragma once
// Files by Windows path through kernel32; relative paths start at the current directory. Paths
// go through the wide calls, so that one marked as UTF-8 opens whatever its characters.

#include "platform/Files.h"

namespace platform {

class Win32Files : public Files {
public:
    std::optional<std::string> ReadAll(const std::string& path) override;
    std::optional<std::string> ReadStart(const std::string& path, std::size_t maxBytes) override;
    bool WriteAll(const std::string& path, const std::string& bytes) override;
    bool Append(const std::string& path, const std::string& bytes) override;
    bool Exists(const std::string& path) override;
    bool Remove(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    std::vector<std::string> List(const std::string& pattern) override;
};

}  // namespace platform
