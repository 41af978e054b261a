#include "services/RegistryCursor.h"

#include <algorithm>

#include "services/Format.h"

using platform::RegStatus;
using platform::RegValue;

RegistryCursor::RegistryCursor(platform::Registry& registry, std::uint32_t rights)
    : registry_(registry), rights_(rights) {}

RegistryCursor::~RegistryCursor() {
    if (current_) registry_.CloseKey(current_);
}

std::string RegistryCursor::Resolve(const std::string& path) const {
    if (!path.empty() && path[0] == '\\') return path.substr(1);
    if (currentPath_.empty()) return path;
    return path.empty() ? currentPath_ : currentPath_ + "\\" + path;
}

bool RegistryCursor::OpenKey(const std::string& path, bool canCreate) {
    std::string full = Resolve(path);
    platform::RegKey key = 0;
    // The root itself is never a key the program works in (an empty driver key names it).
    if (full.empty() || registry_.OpenKey(full, rights_, canCreate, &key) != RegStatus::Ok) {
        return false;
    }
    if (current_) registry_.CloseKey(current_);
    current_ = key;
    currentPath_ = full;
    return true;
}

std::size_t RegistryCursor::ReadBinaryData(const std::string& name, std::uint8_t* buffer,
                                           std::size_t size) {
    if (!current_) return 0;
    RegValue value;
    auto capacity = static_cast<std::uint32_t>(std::min<std::size_t>(size, UINT32_MAX));
    RegStatus status = registry_.QueryValue(current_, name, capacity, &value);
    if (status != RegStatus::Ok && status != RegStatus::MoreData) return 0;
    bool textOrNumber = value.type == platform::RegSz || value.type == platform::RegExpandSz ||
                        value.type == platform::RegDword;
    if (textOrNumber || status == RegStatus::MoreData) {
        throw RegistryError(FormatText(InvalidDataTypeError, name));
    }
    std::copy(value.data.begin(), value.data.end(), buffer);
    return value.data.size();
}

void RegistryCursor::WriteBinaryData(const std::string& name, const std::uint8_t* buffer,
                                     std::size_t size) {
    RegStatus status = RegStatus::Failed;
    if (current_) {
        status = registry_.SetValue(current_, name, platform::RegBinary, buffer,
                                    static_cast<std::uint32_t>(size));
    }
    if (status != RegStatus::Ok) throw RegistryError(FormatText(FailedToSetDataError, name));
}

bool RegistryCursor::DeleteValue(const std::string& name) {
    return current_ && registry_.DeleteValue(current_, name) == RegStatus::Ok;
}

bool RegistryCursor::DeleteKey(const std::string& path) {
    std::string full = Resolve(path);
    return !full.empty() && registry_.DeleteKeyTree(full) == RegStatus::Ok;
}
