#pragma once
// The registry under HKEY_LOCAL_MACHINE through the ANSI registry functions of advapi32.

#include "platform/Registry.h"

namespace platform {

class Win32Registry : public Registry {
public:
    RegStatus OpenKey(const std::string& path, std::uint32_t access, bool create,
                      RegKey* key) override;
    RegStatus QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                         RegValue* value) override;
    RegStatus SetValue(RegKey key, const std::string& name, std::uint32_t type,
                       const std::uint8_t* data, std::uint32_t size) override;
    RegStatus DeleteValue(RegKey key, const std::string& name) override;
    RegStatus EnumSubkey(RegKey key, std::uint32_t index, std::string* name) override;
    RegStatus DeleteKeyTree(const std::string& path) override;
    RegStatus KeyWriteTime(const std::string& path, std::uint64_t* time) override;
    RegStatus FlushKey(const std::string& path) override;
    void CloseKey(RegKey key) override;
};

}  // namespace platform
