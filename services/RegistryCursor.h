#pragma once
// The registry cursor (the program keeps one, MachineRegistry, for its whole run): rooted at
// HKEY_LOCAL_MACHINE, full access, one current key. Reading a value of the wrong type or size and a
// failed write raise RegistryError.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Error.h"
#include "platform/Registry.h"

class RegistryError : public platform::Error {
public:
    using platform::Error::Error;
};

// The path of a key taken from HKEY_LOCAL_MACHINE, whatever key the cursor stands on.
inline std::string FromRoot(const std::string& key) { return "\\" + key; }

class RegistryCursor {
public:
    // `rights` are those each key opens with: a reader that may run without administrator
    // rights (the watch at logon) asks only to query values.
    explicit RegistryCursor(platform::Registry& registry,
                            std::uint32_t rights = platform::KeyAllAccess);
    ~RegistryCursor();
    RegistryCursor(const RegistryCursor&) = delete;
    RegistryCursor& operator=(const RegistryCursor&) = delete;

    // A path beginning with "\" is taken from HKEY_LOCAL_MACHINE, any other from the current
    // key; HKEY_LOCAL_MACHINE itself never opens. On success the key becomes the current key;
    // on failure the current key stays.
    bool OpenKey(const std::string& path, bool canCreate);
    // Copies a REG_BINARY value (or one of a type the cursor does not know) to the front of
    // the buffer and returns its size; 0 when the value does not exist. Bytes beyond the
    // value keep what the caller preset.
    std::size_t ReadBinaryData(const std::string& name, std::uint8_t* buffer, std::size_t size);
    // Writes a REG_BINARY value of exactly `size` bytes into the current key.
    void WriteBinaryData(const std::string& name, const std::uint8_t* buffer, std::size_t size);
    bool DeleteValue(const std::string& name);
    // Deletes a key (path as for OpenKey) together with all its subkeys.
    bool DeleteKey(const std::string& path);

    bool HasCurrentKey() const { return current_ != 0; }
    const std::string& CurrentPath() const { return currentPath_; }

private:
    std::string Resolve(const std::string& path) const;

    platform::Registry& registry_;
    std::uint32_t rights_;
    platform::RegKey current_ = 0;
    std::string currentPath_;
};

inline constexpr char InvalidDataTypeError[] = "Invalid data type for '%s'";
inline constexpr char FailedToSetDataError[] = "Failed to set data for '%s'";
