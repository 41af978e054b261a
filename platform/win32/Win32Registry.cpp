#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

HKEY Handle(RegKey key) { return reinterpret_cast<HKEY>(key); }

RegStatus StatusOf(LONG error) {
    switch (error) {
        case ERROR_SUCCESS:
            return RegStatus::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return RegStatus::NotFound;
        case ERROR_MORE_DATA:
            return RegStatus::MoreData;
        case ERROR_ACCESS_DENIED:
            return RegStatus::AccessDenied;
        default:
            return RegStatus::Failed;
    }
}

// RegDeleteTreeA only exists from Vista on; this works on XP as well. Subkey names are
// collected first because deleting while enumerating shifts the indices.
LONG DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key);
    if (error != ERROR_SUCCESS) return error;
    std::vector<std::string> children;
    char name[256];  // key names are at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        error = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (error != ERROR_SUCCESS) break;
        children.emplace_back(name, length);
    }
    RegCloseKey(key);
    if (error != ERROR_NO_MORE_ITEMS) return error;
    for (const std::string& child : children) {
        error = DeleteTree(root, path + "\\" + child);
        if (error != ERROR_SUCCESS) return error;
    }
    return RegDeleteKeyA(root, path.c_str());
}

}  // namespace

RegStatus Win32Registry::OpenKey(const std::string& path, std::uint32_t access, bool create,
                                 RegKey* key) {
    *key = 0;
    HKEY opened = nullptr;
    LONG error = create
                     ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                       REG_OPTION_NON_VOLATILE, access, nullptr, &opened, nullptr)
                     : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened);
    if (error == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(opened);
    return StatusOf(error);
}

RegStatus Win32Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                                    RegValue* value) {
    *value = RegValue{};
    // Never a null buffer: with one the call reports the size and succeeds instead of saying
    // that the value does not fit.
    std::vector<std::uint8_t> buffer(capacity > 0 ? capacity : 1);
    DWORD type = REG_NONE;
    DWORD size = capacity;
    LONG error = RegQueryValueExA(Handle(key), name.c_str(), nullptr, &type, buffer.data(), &size);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) return StatusOf(error);
    value->type = type;
    value->size = size;
    if (error == ERROR_SUCCESS) value->data.assign(buffer.begin(), buffer.begin() + size);
    return StatusOf(error);
}

RegStatus Win32Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
    // Windows NT (and Wine after it) stores one byte more for a string whose last character is
    // not a NUL but whose next byte in memory is: it takes the terminator to be forgotten. A
    // copy followed by a non-NUL byte keeps the value at exactly `size` bytes.
    std::vector<std::uint8_t> copy(data, data + size);
    copy.push_back(0xFF);
    LONG error = RegSetValueExA(Handle(key), name.c_str(), 0, type, copy.data(), size);
    return StatusOf(error);
}

RegStatus Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return StatusOf(RegDeleteValueA(Handle(key), name.c_str()));
}

RegStatus Win32Registry::DeleteKeyTree(const std::string& path) {
    std::string top = path.substr(0, path.find_last_not_of('\\') + 1);
    if (top.empty()) return RegStatus::AccessDenied;  // never HKEY_LOCAL_MACHINE itself
    return StatusOf(DeleteTree(HKEY_LOCAL_MACHINE, top));
}

RegStatus Win32Registry::KeyWriteTime(const std::string& path, std::uint64_t* time) {
    *time = 0;
    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (error != ERROR_SUCCESS) return StatusOf(error);
    FILETIME written{};
    error = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, &written);
    RegCloseKey(key);
    if (error == ERROR_SUCCESS)
        *time = (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return StatusOf(error);
}

void Win32Registry::CloseKey(RegKey key) {
    if (key) RegCloseKey(Handle(key));
}

}  // namespace platform
