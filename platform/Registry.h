#pragma once
// The registry under HKEY_LOCAL_MACHINE. Paths are relative to HKEY_LOCAL_MACHINE, separated by
// backslashes and compared without regard to letter case, as Windows does.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using RegKey = std::uintptr_t;  // an open key; 0 is none

// Registry value types, numbered as Windows numbers them.
constexpr std::uint32_t RegNone = 0;
constexpr std::uint32_t RegSz = 1;
constexpr std::uint32_t RegExpandSz = 2;
constexpr std::uint32_t RegBinary = 3;
constexpr std::uint32_t RegDword = 4;
constexpr std::uint32_t RegMultiSz = 7;

// Access rights, numbered as Windows numbers them.
constexpr std::uint32_t KeyQueryValue = 0x0001;
constexpr std::uint32_t KeySetValue = 0x0002;
constexpr std::uint32_t KeyCreateSubKey = 0x0004;
constexpr std::uint32_t KeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t KeyRead = 0x20019;
constexpr std::uint32_t KeyAllAccess = 0xF003F;

enum class RegStatus {
    Ok,
    NotFound,      // the key or value does not exist
    MoreData,      // the value is larger than the buffer offered
    AccessDenied,  // no right to open or change it (no administrator rights)
    Failed,        // any other refusal
};

struct RegValue {
    std::uint32_t type = RegNone;
    std::uint32_t size = 0;          // the value's size in bytes, also when it did not fit
    std::vector<std::uint8_t> data;  // the bytes read; empty unless the status is Ok
};

class Registry {
public:
    virtual ~Registry() = default;

    // Opens (or, with `create`, creates) a key with the given access rights.
    virtual RegStatus OpenKey(const std::string& path, std::uint32_t access, bool create,
                              RegKey* key) = 0;
    // Reads a value into a buffer of `capacity` bytes. A value that does not fit gives MoreData
    // with its type and size filled in.
    virtual RegStatus QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                                 RegValue* value) = 0;
    // Stores exactly `size` bytes: a string written without its terminator is stored without one.
    virtual RegStatus SetValue(RegKey key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) = 0;
    virtual RegStatus DeleteValue(RegKey key, const std::string& name) = 0;
    // The name of subkey number `index` of a key opened with KeyEnumerateSubKeys (KeyRead has
    // it); NotFound past the last one. The order is the registry's own.
    virtual RegStatus EnumSubkey(RegKey key, std::uint32_t index, std::string* name) = 0;
    // Deletes a key with everything below it.
    virtual RegStatus DeleteKeyTree(const std::string& path) = 0;
    // When the key last changed (a value written or deleted, a subkey added or removed), as a
    // FILETIME counts: 100-ns units since 1601. Reading the key leaves it as it is, and so does
    // writing the type and bytes a value already has.
    virtual RegStatus KeyWriteTime(const std::string& path, std::uint64_t* time) = 0;
    // Writes the key's hive to disk now and waits for it (RegFlushKey). Windows writes hives
    // lazily and each on its own, so without this a power cut can keep a later write to one
    // hive and lose an earlier one to another.
    virtual RegStatus FlushKey(const std::string& path) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

}  // namespace platform
