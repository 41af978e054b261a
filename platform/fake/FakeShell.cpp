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

}  // namespace platform
