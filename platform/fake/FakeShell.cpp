#include "platform/fake/FakeShell.h"

namespace platform {

bool FakeShell::Execute(const Launch& launch) {
    started.push_back({launch, false});
    return onStart ? onStart(launch).started : true;
}

LaunchResult FakeShell::ExecuteAndWait(const Launch& launch, std::uint32_t) {
    started.push_back({launch, true});
    return onStart ? onStart(launch) : LaunchResult{true, true, 0};
}

std::vector<LaunchResult> FakeShell::ExecuteAllAndWait(const std::vector<Launch>& launches,
                                                       std::uint32_t timeoutMs) {
    std::vector<LaunchResult> results;
    for (const Launch& launch : launches)
        results.push_back(ExecuteAndWait(launch, timeoutMs));
    return results;
}

void FakeShell::Pause(std::uint32_t ms) {
    pausedMs += ms;
    if (onPause) onPause();
}

}  // namespace platform
