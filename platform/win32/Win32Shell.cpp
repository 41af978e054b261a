#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {
namespace {

// An empty text means "none" to the shell: no parameters, the current directory.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

bool Win32Shell::Execute(const Launch& launch) {
    HINSTANCE result =
        ShellExecuteA(GetActiveWindow(), nullptr, launch.file.c_str(), OrNull(launch.parameters),
                      OrNull(launch.directory), launch.show);
    // Not a real instance handle: a number above 32 means started, anything else is an error.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

LaunchResult Win32Shell::ExecuteAndWait(const Launch& launch, std::uint32_t timeoutMs) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own when the program is missing: the caller decides.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();
    info.lpFile = launch.file.c_str();
    info.lpParameters = OrNull(launch.parameters);
    info.lpDirectory = OrNull(launch.directory);
    info.nShow = launch.show;
    LaunchResult result;
    if (!ShellExecuteExA(&info)) return result;
    result.started = true;
    // A document handed to an already running program gives no process to wait for.
    if (!info.hProcess) return result;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        result.finished = GetExitCodeProcess(info.hProcess, &code) != FALSE;
        result.exitCode = code;
    }
    CloseHandle(info.hProcess);
    return result;
}

}  // namespace platform
