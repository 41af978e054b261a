#include "platform/fake/FakeSystem.h"

#include "platform/CaseFold.h"

namespace platform {
namespace {
constexpr std::uint64_t kShutdownLuid = 19;
constexpr TokenHandle kToken = 0x44;
}  // namespace

bool FakeSystem::OpenProcessToken(TokenHandle* token) {
    if (!tokenOpens) {
        lastError = 5;  // access denied
        return false;
    }
    *token = kToken;
    ++openTokens;
    return true;
}

bool FakeSystem::LookupPrivilege(const std::string& name, std::uint64_t* luid) {
    // Privilege names are looked up without regard to letter case.
    if (!privilegeKnown || !SameIgnoringCase(name, "SeShutdownPrivilege")) {
        lastError = 1313;  // no such privilege
        return false;
    }
    *luid = kShutdownLuid;
    return true;
}

bool FakeSystem::EnablePrivilege(TokenHandle token, std::uint64_t luid) {
    if (token != kToken) {
        lastError = 6;  // invalid handle
        return false;
    }
    // Like AdjustTokenPrivileges: it "succeeds" for a privilege the token does not hold and
    // tells so only through the last error.
    lastError = privilegeHeld ? 0 : ErrorNotAllAssigned;
    if (privilegeHeld && luid == kShutdownLuid) shutdownPrivilegeEnabled = true;
    return true;
}

void FakeSystem::CloseToken(TokenHandle token) {
    if (token == kToken) --openTokens;
}

bool FakeSystem::ExitWindowsEx(std::uint32_t flags) {
    exitWindowsCalls.push_back(flags);
    return exitWindowsWorks;
}

WriterLockTaken FakeSystem::TakeWriterLock(std::uint32_t waitMs) {
    writerLockWaits.push_back(waitMs);
    if (writerLockElsewhere && writerLockTakes_ == 0) {
        bool freed = writerFreeAfterMs != 0 && writerFreeAfterMs <= waitMs;
        clockMs += freed ? writerFreeAfterMs : waitMs;
        if (!freed) return WriterLockTaken::Busy;
    }
    ++writerLockTakes_;
    writerLockHeld = true;
    if (!writerLockAbandoned) return WriterLockTaken::Held;
    writerLockAbandoned = false;
    return WriterLockTaken::Abandoned;
}

void FakeSystem::ReleaseWriterLock() {
    if (writerLockTakes_ > 0) --writerLockTakes_;
    writerLockHeld = writerLockTakes_ > 0;
}

void FakeSystem::ExitProcess(std::uint32_t code) {
    // The exception unwinds the scopes, which Windows never does: what a guard releases on the
    // way out was still held when the process ended.
    if (writerLockHeld) endedHoldingWriterLock = true;
    throw ProcessEnded{code};
}

}  // namespace platform
