#pragma once
// Restarting Windows, with the shutdown privilege the NT family requires.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

constexpr char ShutdownPrivilegeName[] = "SeShutdownPrivilege";
constexpr char NoShutdownPrivilegeText[] = "Can't get SeShutdownPrivilege";
constexpr char NoShutdownPrivilegeCaption[] = "Error";
constexpr char RestartFailedText[] = "Can't restart Windows [No admin access?]";
constexpr char RestartFailedCaption[] = "Restart needed";

// Windows 95, 98 and Me set the high bit of GetVersion; every NT release, whatever its build
// number, leaves it clear.
bool IsWindows9x(std::uint32_t version);

// Enables the shutdown privilege on the NT family; each failing step shows a notice and the
// next step still runs.
void EnableShutdownPrivilege(platform::Platform& os);

struct Notice {
    std::string text;
    std::string caption;
};

// Asks Windows to restart. When it refuses, `failure` (if any) is shown. True when Windows
// accepted the request.
bool RestartWindows(platform::Platform& os, const std::optional<Notice>& failure = Notice{
                                                RestartFailedText, RestartFailedCaption});
