#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/WideText.h"

namespace platform {
namespace {

// Closes the file handle when it goes out of scope.
struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
};

}  // namespace

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
    return ReadStart(path, std::string().max_size());
}

std::optional<std::string> Win32Files::ReadStart(const std::string& path, std::size_t maxBytes) {
    FileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < maxBytes) {
        DWORD read = 0;
        DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, maxBytes - bytes.size()));
        if (!ReadFile(file.handle, chunk, wanted, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        bytes.append(chunk, read);
    }
    return bytes;
}

bool Win32Files::WriteAll(const std::string& path, const std::string& bytes) {
    FileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        // A write that takes nothing would take nothing again: a full disk, say.
        if (!WriteFile(file.handle, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
    // With the right to append and not to write, every write goes to the end of the file as
    // it is at that moment, whoever else appends meanwhile.
    FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || bytes.size() > 0xFFFFFFFFu) return false;
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    return WriteFile(file.handle, bytes.data(), size, &written, nullptr) && written == size;
}

bool Win32Files::Exists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::Remove(const std::string& path) {
    return DeleteFileW(ToWide(path).c_str()) != FALSE;
}

// Write-through: the move is on the disk when the call returns, so a crash right after it
// cannot bring back the old file.
bool Win32Files::Replace(const std::string& from, const std::string& to) {
    return MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::vector<std::string> Win32Files::List(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace platform
