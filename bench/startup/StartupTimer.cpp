// Measures how long a program takes from its start until its window is visible:
//
//   StartupTimer [/dump FILE] PROGRAM.exe "WINDOW TITLE" [ARGUMENTS]
//
// Starts the program, waits for a visible top-level window with that title, prints the time
// in milliseconds, closes the window and waits for the program to end. With "-" for the title,
// the time until the program ends. With /dump it first
// writes the window's child windows into FILE, one line each, for EmptyWindow's /windows, and
// prints how many of each class there are.

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    for (char& c : utf8) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return utf8;
}

std::string WindowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return Utf8(text);
}

// The lines EmptyWindow's /windows reads: class, styles, place in the parent's client area,
// id, text, list items.
void Dump(HWND window, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return;
    std::map<std::string, int> classes;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(child, name, 64);
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        std::fprintf(file, "%s\t0x%lx\t0x%lx\t%ld\t%ld\t%ld\t%ld\t%d\t%s", Utf8(name).c_str(),
                     static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)),
                     static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE)), r.left, r.top,
                     r.right - r.left, r.bottom - r.top, GetDlgCtrlID(child),
                     WindowText(child).c_str());
        bool combo = lstrcmpiW(name, L"ComboBox") == 0;
        bool list = lstrcmpiW(name, L"ListBox") == 0;
        LRESULT count = combo  ? SendMessageW(child, CB_GETCOUNT, 0, 0)
                        : list ? SendMessageW(child, LB_GETCOUNT, 0, 0)
                               : 0;
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[1024] = L"";
            SendMessageW(child, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                         reinterpret_cast<LPARAM>(item));
            std::fprintf(file, "\t%s", Utf8(item).c_str());
        }
        std::fprintf(file, "\n");
        ++classes[Utf8(name)];
    }
    std::fclose(file);
    for (const auto& [name, count] : classes)
        std::fprintf(stderr, "%s %d\n", name.c_str(), count);
}

}  // namespace

int main(int argc, char** argv) {
    const char* dump = nullptr;
    if (argc > 2 && std::string(argv[1]) == "/dump") {
        dump = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: StartupTimer [/dump FILE] PROGRAM.exe \"WINDOW TITLE\" [ARGUMENTS]\n");
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
    // "-" for a title: a program that shows no window, timed until it ends.
    if (std::string(argv[2]) == "-") {
        WaitForSingleObject(process.hProcess, 60000);
        QueryPerformanceCounter(&now);
        std::printf("%.1f\n", 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                                  static_cast<double>(frequency.QuadPart));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 0;
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
    if (dump) Dump(window, dump);

    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
