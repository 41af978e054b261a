// The Windows-side test driver: runs under Wine beside Cadenzo.exe and does what a person at
// the screen would, printing what it saw. One command per run:
//
//   driver wait TITLE [TIMEOUT_MS]   waits for a top-level window titled TITLE, prints its title
//   driver close TITLE [TIMEOUT_MS]  closes that window as the close box does, waits until gone
//
// Exit code 0 on success, 1 when the window did not appear or did not go.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND WaitForWindow(const std::string& title, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = FindWindowA(nullptr, title.c_str());
        if (hwnd && IsWindowVisible(hwnd)) return hwnd;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(100);
    }
}

std::string TitleOf(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

int Wait(const std::string& title, DWORD timeoutMs) {
    HWND hwnd = WaitForWindow(title, timeoutMs);
    if (!hwnd) {
        std::printf("no window titled \"%s\"\n", title.c_str());
        return 1;
    }
    std::printf("window \"%s\"\n", TitleOf(hwnd).c_str());
    return 0;
}

int Close(const std::string& title, DWORD timeoutMs) {
    HWND hwnd = WaitForWindow(title, timeoutMs);
    if (!hwnd) {
        std::printf("no window titled \"%s\"\n", title.c_str());
        return 1;
    }
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD start = GetTickCount();
    while (IsWindow(hwnd)) {
        if (GetTickCount() - start > timeoutMs) {
            std::printf("window \"%s\" did not close\n", title.c_str());
            return 1;
        }
        Sleep(100);
    }
    std::printf("closed \"%s\"\n", title.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: driver wait|close TITLE [TIMEOUT_MS]\n");
        return 2;
    }
    std::string command = argv[1];
    std::string title = argv[2];
    DWORD timeoutMs = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 30000;
    int result = 2;
    if (command == "wait") result = Wait(title, timeoutMs);
    if (command == "close") result = Close(title, timeoutMs);
    std::fflush(stdout);
    return result;
}
