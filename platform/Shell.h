#pragma once
// Starting other programs through the shell.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr int ShowHide = 0;
constexpr int ShowNormal = 1;

struct Launch {
    std::string file;
    std::string parameters;
    std::string directory;
    int show = ShowNormal;
};

struct LaunchResult {
    bool started = false;
    bool finished = false;  // it ended within the time allowed
    std::uint32_t exitCode = 0;
};

class Shell {
public:
    virtual ~Shell() = default;

    // Starts the program with the default verb and does not wait for it.
    virtual bool Execute(const Launch& launch) = 0;
    // Starts the program and waits at most `timeoutMs` for it to end.
    virtual LaunchResult ExecuteAndWait(const Launch& launch, std::uint32_t timeoutMs) = 0;
    // Starts every program, in order, then waits for all of them together, at most `timeoutMs`
    // in all; one result per program, in the same order.
    virtual std::vector<LaunchResult> ExecuteAllAndWait(const std::vector<Launch>& launches,
                                                        std::uint32_t timeoutMs) = 0;
    // Lets `ms` pass as a wait for a program does: the windows are painted but take no input.
    virtual void Pause(std::uint32_t ms) = 0;
};

}  // namespace platform
