#pragma once
// Version, command line, directory, Safe Mode and the shutdown steps, all set by the test;
// sounds and Event Log entries are recorded; ending the process throws ProcessEnded.

#include <vector>

#include "platform/System.h"

namespace platform {

constexpr std::uint32_t ErrorNotAllAssigned = 1300;

class FakeSystem : public System {
public:
    std::uint32_t Version() override { return version; }
    std::string CommandLine() override { return commandLine; }
    std::string CurrentDirectory() override { return currentDirectory; }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        clockMs += ms;
    }
    LocalTime Now() override { return now; }
    bool SafeMode() override { return safeMode; }
    void Beep(Sound sound) override { sounds.push_back(sound); }
    WriterLockTaken TakeWriterLock(std::uint32_t waitMs) override;
    void WriteOut(const std::string& text) override { out += text; }
    void ReleaseWriterLock() override;
    bool LogEvent(EventType type, const std::string& text) override {
        events.push_back({type, text});
        return true;
    }
    bool OpenProcessToken(TokenHandle* token) override;
    bool LookupPrivilege(const std::string& name, std::uint64_t* luid) override;
    bool EnablePrivilege(TokenHandle token, std::uint64_t luid) override;
    std::uint32_t LastError() override { return lastError; }
    void CloseToken(TokenHandle token) override;
    bool ExitWindowsEx(std::uint32_t flags) override;
    [[noreturn]] void ExitProcess(std::uint32_t code) override;

    // Windows 10 build 19045 unless the test says otherwise.
    std::uint32_t version = (19045u << 16) | (0u << 8) | 10u;
    std::string commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\"";
    std::string currentDirectory = "C:\\Cadenzo";
    LocalTime now{2026, 12, 7, 21, 5, 9, 60};
    std::vector<std::uint32_t> sleeps;
    // The milliseconds the program spent asleep or waiting for the writer lock; nothing else
    // takes time here.
    std::uint64_t clockMs = 0;
    bool safeMode = false;
    std::vector<Sound> sounds;  // in the order played
    std::string out;            // what the commands wrote for their caller
    // Another Cadenzo holds the writer lock; it lets go after `writerFreeAfterMs` of waiting
    // (never when 0). A wait takes its time on the clock.
    bool writerLockElsewhere = false;
    std::uint32_t writerFreeAfterMs = 0;
    // The lock's last holder ended without letting go: the next take is told so, once.
    bool writerLockAbandoned = false;
    bool writerLockHeld = false;                 // by this process
    std::vector<std::uint32_t> writerLockWaits;  // the wait of each attempt
    // ExitProcess came while this process held the lock: on Windows that abandons it.
    bool endedHoldingWriterLock = false;
    struct Event {
        EventType type;
        std::string text;
    };
    std::vector<Event> events;  // the Event Log's entries, in the order reported

    // The shutdown steps: which succeed, and what the adjustment leaves as last error.
    bool tokenOpens = true;
    bool privilegeKnown = true;
    bool privilegeHeld = true;
    bool exitWindowsWorks = true;

    bool shutdownPrivilegeEnabled = false;
    std::vector<std::uint32_t> exitWindowsCalls;  // flags of each call
    int openTokens = 0;

private:
    std::uint32_t lastError = 0;
    int writerLockTakes_ = 0;  // takes not yet released, as the mutex counts them
};

}  // namespace platform
