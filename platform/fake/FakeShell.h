#pragma once
// Records every program started; what a started program does is up to the test.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Shell.h"

namespace platform {

class FakeShell : public Shell {
public:
    struct Started {
        Launch launch;
        bool waited;
    };

    bool Execute(const Launch& launch) override;
    LaunchResult ExecuteAndWait(const Launch& launch, std::uint32_t timeoutMs) override;
    // Each program runs (through `onStart`) as it is started; all are recorded as waited for.
    std::vector<LaunchResult> ExecuteAllAndWait(const std::vector<Launch>& launches,
                                                std::uint32_t timeoutMs) override;
    // Counts the time; `onPause` runs once for each pause, after it.
    void Pause(std::uint32_t ms) override;

    // Runs for each start; by default the program starts and ends with exit code 0.
    std::function<LaunchResult(const Launch&)> onStart;
    std::vector<Started> started;
    std::function<void()> onPause;
    std::uint64_t pausedMs = 0;
};

}  // namespace platform
