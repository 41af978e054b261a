#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

HKEY Handle(RegKey key) { return reinterpret_cast<HKEY>(key); }

// Which registry the program works on. A 32-bit program on 64-bit Windows sees, through WOW64,
// its own copy of HKEY_LOCAL_MACHINE\SOFTWARE (SOFTWARE\Wow6432Node), while SYSTEM, home of the
// driver key, is one for both. Cadenzo always works on the 64-bit registry there: its settings
// key is the same for the 32-bit and the 64-bit build, the driver's other ATI keys under
// SOFTWARE are the ones the 64-bit driver uses, and the RunOnce entry lies where 64-bit
// Windows runs it at the next logon. Elsewhere (a 64-bit program, 32-bit Windows) there is one
// registry and no flag is added: Windows 2000 and the 9x family do not know KEY_WOW64_64KEY.
// Both calls are looked up at run time, since Windows before XP SP2 (IsWow64Process) and
// 32-bit XP (RegDeleteKeyExA) lack them.
using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, PBOOL);
using RegDeleteKeyExCall = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

template <typename Call>
Call Lookup(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    // Cast through a generic function pointer: GetProcAddress's own type says nothing.
    return module
               ? reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
               : nullptr;
}

// Both are found once, at start-up: a static inside a function would need a guard made for
// threads, which brings the runtime's whole thread library into the exe.
const REGSAM View = [] {
    auto isWow64Process = Lookup<IsWow64ProcessCall>("kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    if (isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64)
        return static_cast<REGSAM>(KEY_WOW64_64KEY);
    return static_cast<REGSAM>(0);
}();
const auto DeleteKeyEx = Lookup<RegDeleteKeyExCall>("advapi32.dll", "RegDeleteKeyExA");

REGSAM RegistryView() { return View; }

LONG OpenMachineKey(const std::string& path, REGSAM access, HKEY* key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access | RegistryView(), key);
}

// Deletes one key without subkeys. RegDeleteKeyA works in the program's own view only.
LONG DeleteOneKey(const std::string& path) {
    if (RegistryView() && DeleteKeyEx)
        return DeleteKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), RegistryView(), 0);
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

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
LONG DeleteTree(const std::string& path) {
    HKEY key = nullptr;
    LONG error = OpenMachineKey(path, KEY_ENUMERATE_SUB_KEYS, &key);
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
        error = DeleteTree(path + "\\" + child);
        if (error != ERROR_SUCCESS) return error;
    }
    return DeleteOneKey(path);
}

}  // namespace

RegStatus Win32Registry::OpenKey(const std::string& path, std::uint32_t access, bool create,
                                 RegKey* key) {
    *key = 0;
    HKEY opened = nullptr;
    LONG error = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, access | RegistryView(), nullptr,
                                          &opened, nullptr)
                        : OpenMachineKey(path, access, &opened);
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

RegStatus Win32Registry::EnumSubkey(RegKey key, std::uint32_t index, std::string* name) {
    name->clear();
    char found[256];  // key names are at most 255 characters
    DWORD length = sizeof found;
    LONG error =
        RegEnumKeyExA(Handle(key), index, found, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_NO_MORE_ITEMS) return RegStatus::NotFound;
    if (error == ERROR_SUCCESS) name->assign(found, length);
    return StatusOf(error);
}

RegStatus Win32Registry::DeleteKeyTree(const std::string& path) {
    std::string top = path.substr(0, path.find_last_not_of('\\') + 1);
    if (top.empty()) return RegStatus::AccessDenied;  // never HKEY_LOCAL_MACHINE itself
    return StatusOf(DeleteTree(top));
}

RegStatus Win32Registry::FlushKey(const std::string& path) {
    HKEY key = nullptr;
    LONG error = OpenMachineKey(path, KEY_QUERY_VALUE, &key);
    if (error != ERROR_SUCCESS) return StatusOf(error);
    error = RegFlushKey(key);
    RegCloseKey(key);
    return StatusOf(error);
}

RegStatus Win32Registry::KeyWriteTime(const std::string& path, std::uint64_t* time) {
    *time = 0;
    HKEY key = nullptr;
    LONG error = OpenMachineKey(path, KEY_QUERY_VALUE, &key);
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
