#include "services/RegistryValues.h"

#include <vector>

using platform::RegKey;
using platform::RegStatus;
using platform::RegValue;

namespace {

constexpr std::uint32_t kWordBufferSize = 4;
constexpr std::uint32_t kBytesBufferSize = 250;

// Opens the key, runs one access on it and closes it again.
template <typename Access>
std::uint16_t WithKey(platform::Registry& registry, const std::string& key, std::uint32_t rights,
                      Access access, bool create = false) {
    // An empty path would be HKEY_LOCAL_MACHINE itself: an empty driver key (no adapter) must
    // never read or write there.
    RegKey handle = 0;
    if (key.empty() || registry.OpenKey(key, rights, create, &handle) != RegStatus::Ok) {
        return RegKeyNotOpened;
    }
    bool done = access(handle);
    registry.CloseKey(handle);
    return done ? RegDone : RegValueFailed;
}

}  // namespace

std::uint16_t ReadRegWord(platform::Registry& registry, const std::string& key,
                          const std::string& name, std::uint16_t& value) {
    return WithKey(registry, key, platform::KeyQueryValue, [&](RegKey handle) {
        RegValue v;
        if (registry.QueryValue(handle, name, kWordBufferSize, &v) != RegStatus::Ok) return false;
        std::uint16_t low = v.data.size() > 0 ? v.data[0] : 0;
        std::uint16_t high = v.data.size() > 1 ? v.data[1] : 0;
        value = static_cast<std::uint16_t>(low | (high << 8));
        return true;
    });
}

std::uint16_t WriteRegDword(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::uint16_t value) {
    return WithKey(registry, key, platform::KeySetValue, [&](RegKey handle) {
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value),
                                       static_cast<std::uint8_t>(value >> 8), 0, 0};
        return registry.SetValue(handle, name, platform::RegDword, bytes, 4) == RegStatus::Ok;
    });
}

std::uint16_t ReadRegBytes(platform::Registry& registry, const std::string& key,
                           const std::string& name, std::string& text) {
    return WithKey(registry, key, platform::KeyQueryValue, [&](RegKey handle) {
        RegValue v;
        if (registry.QueryValue(handle, name, kBytesBufferSize, &v) != RegStatus::Ok) return false;
        text.assign(v.data.begin(), v.data.end());
        return true;
    });
}

std::uint16_t ReadRegString(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::string& text) {
    std::string bytes;
    std::uint16_t result = ReadRegBytes(registry, key, name, bytes);
    if (result != RegDone) return result;
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    text = bytes;
    return RegDone;
}

std::uint16_t WriteRegString(platform::Registry& registry, const std::string& key,
                             const std::string& name, const std::string& text) {
    return WithKey(registry, key, platform::KeySetValue, [&](RegKey handle) {
        // c_str() ends with the terminator, which the size takes in.
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
        return registry.SetValue(handle, name, platform::RegSz, bytes,
                                 static_cast<std::uint32_t>(text.size() + 1)) == RegStatus::Ok;
    });
}

std::uint16_t DeleteRegValue(platform::Registry& registry, const std::string& key,
                             const std::string& name) {
    return WithKey(registry, key, platform::KeySetValue, [&](RegKey handle) {
        return registry.DeleteValue(handle, name) == RegStatus::Ok;
    });
}

std::uint16_t ReadRegBinary(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::uint32_t maxSize,
                            std::vector<std::uint8_t>& bytes) {
    return WithKey(registry, key, platform::KeyQueryValue, [&](RegKey handle) {
        RegValue v;
        if (registry.QueryValue(handle, name, maxSize, &v) != RegStatus::Ok ||
            v.type != platform::RegBinary) {
            return false;
        }
        bytes = v.data;
        return true;
    });
}

std::uint16_t WriteRegBinary(platform::Registry& registry, const std::string& key,
                             const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return WithKey(
        registry, key, platform::KeySetValue,
        [&](RegKey handle) {
            return registry.SetValue(handle, name, platform::RegBinary, bytes.data(),
                                     static_cast<std::uint32_t>(bytes.size())) == RegStatus::Ok;
        },
        true);
}

bool RegKeyOpens(platform::Registry& registry, const std::string& key) {
    return WithKey(registry, key, platform::KeyQueryValue, [](RegKey) { return true; }) == RegDone;
}
