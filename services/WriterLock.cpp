#include "services/WriterLock.h"

#include "services/History.h"

WriterLock::WriterLock(platform::Platform& os, std::uint32_t waitMs) : system_(os.system) {
    platform::WriterLockTaken taken = system_.TakeWriterLock(waitMs);
    held_ = taken != platform::WriterLockTaken::Busy;
    if (taken == platform::WriterLockTaken::Abandoned) RecordEvent(os, HistoryEvent::WriterEnded);
}

WriterLock::WriterLock(platform::System& system, std::uint32_t waitMs) : system_(system) {
    platform::WriterLockTaken taken = system_.TakeWriterLock(waitMs);
    held_ = taken != platform::WriterLockTaken::Busy;
    if (taken == platform::WriterLockTaken::Abandoned)
        RecordEventInEventLog(system_, HistoryEvent::WriterEnded);
}

void WriterLock::Release() {
    if (held_) system_.ReleaseWriterLock();
    held_ = false;
}
