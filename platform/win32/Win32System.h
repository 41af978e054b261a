#pragma once
// Version, command line, directory, Safe Mode, sounds, the Event Log, the shutdown privilege
// and ending the process, through kernel32, advapi32 and user32.

#include "platform/System.h"

namespace platform {

class Win32System : public System {
public:
    std::uint32_t Version() override;
    std::string CommandLine() override;
    std::string CurrentDirectory() override;
    void Sleep(std::uint32_t ms) override;
    LocalTime Now() override;
    bool SafeMode() override;
    void Beep(Sound sound) override;
    WriterLockTaken TakeWriterLock(std::uint32_t waitMs) override;
    void WriteOut(const std::string& text) override;
    void ReleaseWriterLock() override;
    bool LogEvent(EventType type, const std::string& text) override;
    bool OpenProcessToken(TokenHandle* token) override;
    bool LookupPrivilege(const std::string& name, std::uint64_t* luid) override;
    bool EnablePrivilege(TokenHandle token, std::uint64_t luid) override;
    std::uint32_t LastError() override;
    void CloseToken(TokenHandle token) override;
    bool ExitWindowsEx(std::uint32_t flags) override;
    [[noreturn]] void ExitProcess(std::uint32_t code) override;

private:
    void* writerMutex_ = nullptr;  // a HANDLE, made at the first attempt
    int writerTakes_ = 0;          // takes not yet released; the mutex counts them too
    bool outputLooked_ = false;
    void* output_ = nullptr;  // a HANDLE; none when there is nowhere to write
};

}  // namespace platform
