#include "platform/win32/Win32System.h"

#include <windows.h>

#include <vector>

#include "platform/win32/WideText.h"

namespace platform {
namespace {

// The source the installers register, naming Cadenzo.exe as its message file.
constexpr wchar_t kEventSource[] = L"Cadenzo";

}  // namespace

std::uint32_t Win32System::Version() { return GetVersion(); }

std::string Win32System::CommandLine() { return GetCommandLineA(); }

std::string Win32System::CurrentDirectory() {
    // The first call tells the size with its terminator, the second fills the buffer.
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buffer(size);
    DWORD length = GetCurrentDirectoryA(size, buffer.data());
    if (length == 0 || length >= size) return std::string();
    return std::string(buffer.data(), length);
}

void Win32System::Sleep(std::uint32_t ms) { ::Sleep(ms); }

LocalTime Win32System::Now() {
    SYSTEMTIME local;
    GetLocalTime(&local);
    // The bias is minutes behind UTC, standard or daylight as the zone is now.
    TIME_ZONE_INFORMATION zone;
    DWORD which = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (which == TIME_ZONE_ID_INVALID) bias = 0;
    return LocalTime{local.wYear,   local.wMonth,           local.wDay, local.wHour, local.wMinute,
                     local.wSecond, static_cast<int>(-bias)};
}

WriterLockTaken Win32System::TakeWriterLock(std::uint32_t waitMs) {
    if (!writerMutex_) {
        // In the global namespace: the driver's settings are the machine's, whichever session
        // changes them. Where that namespace is refused, the session's own still keeps two
        // Cadenzos of one user apart.
        writerMutex_ = CreateMutexW(nullptr, FALSE, L"Global\\Cadenzo driver settings");
        if (!writerMutex_) writerMutex_ = CreateMutexW(nullptr, FALSE, L"Cadenzo driver settings");
        // Without a lock to take there is nobody to wait for: the writes go on as they always did.
        if (!writerMutex_) return WriterLockTaken::Held;
    }
    // The mutex's owner gets it again at once, and owns it until it has released it as often.
    // A lock whose holder ended without letting go is this process's now, and said so.
    DWORD waited = WaitForSingleObject(writerMutex_, waitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return WriterLockTaken::Busy;
    ++writerTakes_;
    return waited == WAIT_ABANDONED ? WriterLockTaken::Abandoned : WriterLockTaken::Held;
}

void Win32System::WriteOut(const std::string& text) {
    if (!outputLooked_) {
        outputLooked_ = true;
        // A windowed program started with its output redirected (to a file or a pipe) has the
        // handle; started from a console without, it writes to the console of its parent.
        HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
        if (handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) {
            output_ = handle;
        } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
            if (handle != INVALID_HANDLE_VALUE) output_ = handle;
        }
    }
    if (!output_) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(output_, &mode)) {
        // A console shows UTF-16 whatever its code page.
        WideString wide = ToWide(text);
        WriteConsoleW(output_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

void Win32System::ReleaseWriterLock() {
    if (writerTakes_ == 0) return;
    --writerTakes_;
    ReleaseMutex(writerMutex_);
}

bool Win32System::SafeMode() { return GetSystemMetrics(SM_CLEANBOOT) != 0; }

void Win32System::Beep(Sound sound) {
    // Tones, told apart by pitch and length: Beep plays them on the sound card since Windows 7
    // and on the PC speaker before. Where it cannot, the system's own sounds stand in.
    struct Tone {
        DWORD hertz, ms;
        UINT fallback;
    };
    static constexpr Tone kTones[] = {
        {1000, 100, MB_OK},              // Tick
        {600, 400, MB_ICONEXCLAMATION},  // LowestRate
        {400, 900, MB_ICONHAND},         // Restoring
    };
    const Tone& tone = kTones[static_cast<int>(sound)];
    if (!::Beep(tone.hertz, tone.ms)) MessageBeep(tone.fallback);
}

bool Win32System::LogEvent(EventType type, const std::string& text) {
    // The exe's message table (app/res/EventMessages.mc) has one message for each level,
    // numbered from 1 in this order, whose whole text is the entry's one string: Event Viewer
    // shows it as it stands.
    static constexpr WORD kTypes[] = {EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE,
                                      EVENTLOG_ERROR_TYPE};
    HANDLE source = RegisterEventSourceW(nullptr, kEventSource);
    if (!source) return false;
    int level = static_cast<int>(type);
    WideString wide = ToWide(text);
    const wchar_t* strings[] = {wide.c_str()};
    BOOL done = ReportEventW(source, kTypes[level], 0, static_cast<DWORD>(level + 1), nullptr, 1, 0,
                             strings, nullptr);
    DeregisterEventSource(source);
    return done != FALSE;
}

bool Win32System::OpenProcessToken(TokenHandle* token) {
    HANDLE handle = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &handle)) {
        return false;
    }
    *token = reinterpret_cast<TokenHandle>(handle);
    return true;
}

bool Win32System::LookupPrivilege(const std::string& name, std::uint64_t* luid) {
    LUID id{};
    if (!LookupPrivilegeValueA(nullptr, name.c_str(), &id)) return false;
    *luid =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id.HighPart)) << 32) | id.LowPart;
    return true;
}

bool Win32System::EnablePrivilege(TokenHandle token, std::uint64_t luid) {
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid);
    wanted.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = 0;
    // It succeeds even when the token does not hold the privilege; only the last error
    // (ERROR_NOT_ALL_ASSIGNED) tells, so nothing may run between this call and LastError().
    return AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), FALSE, &wanted, sizeof previous,
                                 &previous, &previousSize) != FALSE;
}

std::uint32_t Win32System::LastError() { return GetLastError(); }

void Win32System::CloseToken(TokenHandle token) { CloseHandle(reinterpret_cast<HANDLE>(token)); }

bool Win32System::ExitWindowsEx(std::uint32_t flags) { return ::ExitWindowsEx(flags, 0) != FALSE; }

void Win32System::ExitProcess(std::uint32_t code) { ::ExitProcess(code); }

}  // namespace platform
