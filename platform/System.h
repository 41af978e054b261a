#pragma once
// Process and system services: version, command line, directory, sleeping, Safe Mode, sounds,
// the Event Log, the shutdown privilege, restarting Windows and ending the process.

#include <cstdint>
#include <string>

namespace platform {

using TokenHandle = std::uintptr_t;

constexpr std::uint32_t EwxReboot = 0x00000002;
// With it, a program that does not answer within the time Windows allows is ended, so that a
// question nobody can see never holds up a restart.
constexpr std::uint32_t EwxForceIfHung = 0x00000010;

// What a sound tells a person who cannot see the screen.
enum class Sound {
    Tick,        // a second of a count-down passed
    LowestRate,  // the display went down to its lowest refresh rate
    Restoring,   // the settings from before the change go back in and Windows restarts
};

// The Event Log's levels of an entry.
enum class EventType {
    Information,  // a change
    Warning,      // a change undone without being asked
    Error,        // a restore that failed
};

// What an attempt to take the writer lock came to.
enum class WriterLockTaken {
    Held,       // this process holds the lock
    Abandoned,  // it holds the lock, whose last holder ended without letting go of it
    Busy,       // another Cadenzo held it all the while: this one does not
};

// Thrown by a fake system when the program ends its process, so that tests can observe it.
// Deliberately not a std::exception: nothing but the test may catch it.
struct ProcessEnded {
    std::uint32_t exitCode;
};

// The local date and time, and how far local time is ahead of UTC.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int utcOffsetMinutes = 0;
};

class System {
public:
    virtual ~System() = default;

    virtual std::uint32_t Version() = 0;         // GetVersion
    virtual std::string CommandLine() = 0;       // the whole command line, program path included
    virtual std::string CurrentDirectory() = 0;  // without a trailing backslash
    virtual void Sleep(std::uint32_t ms) = 0;
    virtual LocalTime Now() = 0;  // GetLocalTime, with the time zone's offset
    virtual bool SafeMode() = 0;  // GetSystemMetrics(SM_CLEANBOOT) is not 0
    virtual void Beep(Sound sound) = 0;
    // Writes an entry to the Application log under the program's event source; `text` is a
    // program text (ANSI, or UTF-8 after its mark). False when the log did not take it. Not
    // named after ReportEvent, which <windows.h> makes a macro.
    virtual bool LogEvent(EventType type, const std::string& text) = 0;

    // One writer at a time of the display driver's settings among Cadenzo's processes (a named
    // mutex), after waiting up to `waitMs` for another to let go. A process that ends holding
    // it lets go too, and the next taker is told: that holder may have stopped half way through
    // a change. Each take that holds is matched by one release; this process may take it again
    // while it holds it.
    virtual WriterLockTaken TakeWriterLock(std::uint32_t waitMs) = 0;
    // Text for the person or script that started a command: to the output it was started with
    // when that was redirected, else to the console of the process that started it; nowhere
    // when there is neither. A text as the program's texts are: ANSI, or UTF-8 after its mark.
    virtual void WriteOut(const std::string& text) = 0;
    virtual void ReleaseWriterLock() = 0;

    // The steps that enable the shutdown privilege.
    virtual bool OpenProcessToken(TokenHandle* token) = 0;  // adjust-privileges and query rights
    virtual bool LookupPrivilege(const std::string& name, std::uint64_t* luid) = 0;
    virtual bool EnablePrivilege(TokenHandle token, std::uint64_t luid) = 0;
    virtual std::uint32_t LastError() = 0;
    virtual void CloseToken(TokenHandle token) = 0;

    virtual bool ExitWindowsEx(std::uint32_t flags) = 0;
    [[noreturn]] virtual void ExitProcess(std::uint32_t code) = 0;
};

}  // namespace platform
