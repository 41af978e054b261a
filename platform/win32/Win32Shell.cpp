#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/win32/WideText.h"

namespace platform {
namespace {

// An empty text means "none" to the shell: no parameters, the current directory.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The same through the wide API, which takes a text marked as UTF-8 (a help file named by a
// language file in UTF-8) as well as one in the ANSI code page.
struct WideOrNull {
    explicit WideOrNull(const std::string& text) : wide(ToWide(text)), none(text.empty()) {}
    const wchar_t* get() const { return none ? nullptr : wide.c_str(); }
    WideString wide;
    bool none;
};

BOOL CALLBACK NoteUsableWindow(HWND hwnd, LPARAM windows) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

// While the program waits, its windows are painted but take no input, and the mouse shows the
// wait cursor.
class InputBlocked {
public:
    InputBlocked() : focus_(GetFocus()), cursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
        EnumThreadWindows(GetCurrentThreadId(), NoteUsableWindow,
                          reinterpret_cast<LPARAM>(&disabled_));
        for (HWND window : disabled_)
            EnableWindow(window, FALSE);
    }
    // A click or key made on a disabled window waits in the queue: it is thrown away, not run
    // once the window takes input again.
    ~InputBlocked() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
        }
        for (HWND window : disabled_)
            EnableWindow(window, TRUE);
        if (focus_ && IsWindow(focus_)) SetFocus(focus_);
        SetCursor(cursor_ ? cursor_ : LoadCursorA(nullptr, IDC_ARROW));
    }
    InputBlocked(const InputBlocked&) = delete;
    InputBlocked& operator=(const InputBlocked&) = delete;

private:
    HWND focus_;
    HCURSOR cursor_;
    std::vector<HWND> disabled_;
};

// Lets the time pass as AwaitWithoutFreezing does, with nothing to wait for.
void PassWithoutFreezing(DWORD ms) {
    InputBlocked blocked;
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
            DispatchMessageW(&msg);
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_PAINT | QS_SENDMESSAGE);
    }
}

// Waits for the processes to end, at most `timeoutMs` in all; true when every one has ended.
// Meanwhile the windows are repainted and messages sent by other threads and programs are
// answered, but no timer, posted command or input is handled: no handler of the program runs in
// the middle of the one that waits.
bool AwaitWithoutFreezing(std::vector<HANDLE> processes, DWORD timeoutMs) {
    InputBlocked blocked;
    DWORD start = GetTickCount();
    while (!processes.empty()) {
        // Messages sent to a window are handled inside PeekMessage itself.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
            DispatchMessageW(&msg);
        DWORD elapsed = GetTickCount() - start;
        DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - std::min(elapsed, timeoutMs);
        // One wait takes at most this many handles besides the message queue; the rest are
        // waited for once earlier ones have ended.
        DWORD count =
            static_cast<DWORD>(std::min<std::size_t>(processes.size(), MAXIMUM_WAIT_OBJECTS - 1));
        DWORD woken = MsgWaitForMultipleObjects(count, processes.data(), FALSE, left,
                                                QS_PAINT | QS_SENDMESSAGE);
        if (woken < WAIT_OBJECT_0 + count) {
            processes.erase(processes.begin() + (woken - WAIT_OBJECT_0));
        } else if (woken != WAIT_OBJECT_0 + count) {
            return false;  // the time is up
        }
    }
    return true;
}

// Starts the program; its process handle when there is one to wait for, which the caller
// closes.
bool Start(const Launch& launch, HANDLE& process) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own when the program is missing: the caller decides.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();
    info.lpFile = launch.file.c_str();
    info.lpParameters = OrNull(launch.parameters);
    info.lpDirectory = OrNull(launch.directory);
    info.nShow = launch.show;
    process = nullptr;
    if (!ShellExecuteExA(&info)) return false;
    // A document handed to an already running program gives no process to wait for.
    process = info.hProcess;
    return true;
}

}  // namespace

bool Win32Shell::Execute(const Launch& launch) {
    WideOrNull parameters(launch.parameters), directory(launch.directory);
    HINSTANCE result = ShellExecuteW(GetActiveWindow(), nullptr, ToWide(launch.file).c_str(),
                                     parameters.get(), directory.get(), launch.show);
    // Not a real instance handle: a number above 32 means started, anything else is an error.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

LaunchResult Win32Shell::ExecuteAndWait(const Launch& launch, std::uint32_t timeoutMs) {
    return ExecuteAllAndWait({launch}, timeoutMs).front();
}

std::vector<LaunchResult> Win32Shell::ExecuteAllAndWait(const std::vector<Launch>& launches,
                                                        std::uint32_t timeoutMs) {
    std::vector<LaunchResult> results(launches.size());
    std::vector<HANDLE> processes(launches.size(), nullptr);
    std::vector<HANDLE> running;
    for (std::size_t i = 0; i < launches.size(); ++i) {
        results[i].started = Start(launches[i], processes[i]);
        if (processes[i]) running.push_back(processes[i]);
    }
    if (!running.empty()) AwaitWithoutFreezing(running, timeoutMs);
    for (std::size_t i = 0; i < launches.size(); ++i) {
        if (!processes[i]) continue;
        DWORD code = 0;
        results[i].finished = WaitForSingleObject(processes[i], 0) == WAIT_OBJECT_0 &&
                              GetExitCodeProcess(processes[i], &code) != FALSE;
        results[i].exitCode = code;
        CloseHandle(processes[i]);
    }
    return results;
}

void Win32Shell::Pause(std::uint32_t ms) { PassWithoutFreezing(ms); }

}  // namespace platform
