#pragma once
// Starting programs through shell32.

#include "platform/Shell.h"

namespace platform {

class Win32Shell : public Shell {
public:
    bool Execute(const Launch& launch) override;
    LaunchResult ExecuteAndWait(const Launch& launch, std::uint32_t timeoutMs) override;
    std::vector<LaunchResult> ExecuteAllAndWait(const std::vector<Launch>& launches,
                                                std::uint32_t timeoutMs) override;
    void Pause(std::uint32_t ms) override;
};

}  // namespace platform
