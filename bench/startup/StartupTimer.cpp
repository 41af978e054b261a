// Measures how long a program takes from its start until its window is visible:
//
//   StartupTimer PROGRAM.exe "WINDOW TITLE" [ARGUMENTS]
//
// Starts the program, waits for a visible top-level window with that title, prints the time
// in milliseconds, closes the window and waits for the program to end.

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: StartupTimer PROGRAM.exe \"WINDOW TITLE\" [ARGUMENTS]\n");
        return 2;
    }
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    for (int i = 3; i < argc; ++i)
        commandLine += std::string(" ") + argv[i];

    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    HWND window = nullptr;
    for (;;) {
        window = FindWindowA(nullptr, argv[2]);
        if (window && IsWindowVisible(window)) break;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s ended without showing \"%s\"\n", argv[1], argv[2]);
            return 1;
        }
    }
    QueryPerformanceCounter(&now);
    double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    std::printf("%.1f\n", ms);
    std::fflush(stdout);

    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
