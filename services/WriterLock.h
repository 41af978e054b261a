#pragma once
// The writer lock held for a scope: OK, the first run, Uninstall, the check's fall-back, the
// blind restore and the watch's Apply again each change the driver's settings under it, so two
// Cadenzos never write them at once.

#include <cstdint>

#include "platform/System.h"

class WriterLock {
public:
    explicit WriterLock(platform::System& system, std::uint32_t waitMs = 0)
        : system_(system), held_(system.TakeWriterLock(waitMs)) {}
    ~WriterLock() {
        if (held_) system_.ReleaseWriterLock();
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool Held() const { return held_; }

private:
    platform::System& system_;
    bool held_;
};
