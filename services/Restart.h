#pragma once
// Restarting Windows, with the shutdown privilege the NT family requires.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

// The entry that has Windows run the check of the new modes once, at the next logon.
inline constexpr char RunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr char RunOnceValue[] = "Cadenzo - test resolution";
inline constexpr char CheckSwitch[] = "/CHECK";

inline constexpr char ShutdownPrivilegeName[] = "SeShutdownPrivilege";
inline constexpr char NoShutdownPrivilegeText[] = "Can't get SeShutdownPrivilege";
inline constexpr char NoShutdownPrivilegeCaption[] = "Error";
inline constexpr char RestartFailedText[] = "Can't restart Windows [No admin access?]";
inline constexpr char RestartFailedCaption[] = "Restart needed";

// The command that runs the check of the new modes at the next start. The program's path is
// quoted: unquoted, "C:\Program Files\Cadenzo\Cadenzo.exe" would make Windows try
// "C:\Program.exe" first.
std::string CheckCommand(const std::string& installDir);

// Windows 95, 98 and Me set the high bit of GetVersion; every NT release, whatever its build
// number, leaves it clear.
bool IsWindows9x(std::uint32_t version);

// Enables the shutdown privilege on the NT family; each failing step shows a notice (unless
// not `tell`) and the next step still runs.
void EnableShutdownPrivilege(platform::Platform& os, bool tell = true);

struct Notice {
    std::string text;
    std::string caption;
};

// Asks Windows to restart. When it refuses, `failure` (if any) is shown; without one, nothing
// is shown at all, the privilege's notices neither: nobody may be there to close them. True
// when Windows accepted the request. A restart that shows nothing also ends programs that hang
// instead of waiting for them.
bool RestartWindows(platform::Platform& os, const std::optional<Notice>& failure = Notice{
                                                RestartFailedText, RestartFailedCaption});
