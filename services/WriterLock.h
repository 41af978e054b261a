#pragma once
// The writer lock held for a scope: OK, the first run, Cancel, Restore Registry, Uninstall, the
// check's fall-back, the blind restore, the watch's Apply again, the non-standard resolutions'
// OK, the adapter dialog's OK and the backup each start takes change or copy the driver's
// settings under it, so two Cadenzos never write them at once, nor one copies them half
// written. A lock whose last holder ended without letting go is taken all the same, and told:
// that Cadenzo may have stopped half way through its change.

#include <cstdint>

#include "platform/Platform.h"

class WriterLock {
public:
    // Waits up to `waitMs` for another Cadenzo to let go. An abandoned lock goes to the history
    // and the Event Log.
    explicit WriterLock(platform::Platform& os, std::uint32_t waitMs = 0);
    // The same where only the system is at hand: an abandoned lock goes to the Event Log alone.
    explicit WriterLock(platform::System& system, std::uint32_t waitMs = 0);
    ~WriterLock() { Release(); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool Held() const { return held_; }
    // Lets go before the scope ends. A path that ends the process must: ExitProcess runs no
    // destructor, and a lock left held at the end reads as a writer that died in its change.
    void Release();

private:
    platform::System& system_;
    bool held_ = false;
};
