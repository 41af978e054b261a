// The yardstick for Cadenzo's start-up time: a Win32 program that only opens an empty
// window of the same size and ends when it is closed.
//
//   EmptyWindow.exe           the window alone
//   EmptyWindow.exe /read     first what Cadenzo's start-up asks of the system besides its
//                             windows: the display devices, every mode of the first one, the
//                             registry values it reads (each key opened, read and closed on its
//                             own, as Cadenzo's helpers do) and its card database
//   EmptyWindow.exe /none     no window at all: the cost of a process that does nothing
//   EmptyWindow.exe /read /windows FILE
//                             then, before the window shows, the same child windows as
//                             Cadenzo's main window (class, styles, place, text, list items,
//                             a font), as StartupTimer's /dump wrote them into FILE: what
//                             Windows has to do for that window whoever makes it
//
// It carries Cadenzo's manifest, so its controls are the same common controls.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The keys Cadenzo reads at start-up under HKEY_LOCAL_MACHINE and how often it opens each
// (DRIVER stands for the adapter's driver key); every value of a key is read at each visit.
struct KeyVisits {
    const char* key;
    int visits;
};
constexpr KeyVisits kKeys[] = {
    {"DRIVER", 15},
    {"DRIVER\\ddhal", 1},
    {"SOFTWARE\\Korvex\\Cadenzo", 6},
    {"SOFTWARE\\ATI Technologies\\Desktop\\0000", 4},
    {"SOFTWARE\\ATI Technologies\\Desktop\\{0C6F9C77-95F5-40DC-8EB1-6B363CD0DA57}", 4},
    {"SOFTWARE\\ATI Technologies\\Desktop\\{C4FD75DE-94EC-429E-AD75-39855E9B1030}", 4},
    {"SOFTWARE\\ATI Technologies\\CDS\\0000\\0\\Driver", 2},
    {"SOFTWARE\\ATI Technologies\\CDS\\0000\\0\\ASIC", 1},
    {"SOFTWARE\\ATI Technologies\\CBT", 1},
    {"SYSTEM\\CurrentControlSet\\Services\\ati2mtag\\Device0", 1},
    {"SYSTEM\\CurrentControlSet\\Services\\ati2mtaa\\Enum", 1},
    {"SYSTEM\\CurrentControlSet\\Services\\ati2mtag\\Enum", 1},
    {"SYSTEM\\CurrentControlSet\\Services\\atimtag\\Enum", 1},
    {"SYSTEM\\CurrentControlSet\\Services\\atimtaa\\Enum", 1},
    {"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000", 1},
};

void ReadValues(const std::string& key) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    char name[256];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        if (RegEnumValueA(opened, i, name, &nameSize, nullptr, nullptr, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
    }
    RegCloseKey(opened);
}

// What Cadenzo does before it makes its windows, without them.
void ReadAsCadenzoDoes() {
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    std::string first;
    std::string driverKey;
    for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &device, 0); ++i) {
        if (i == 0) {
            first = device.DeviceName;
            const char* prefix = "\\Registry\\Machine\\";
            if (std::strncmp(device.DeviceKey, prefix, std::strlen(prefix)) == 0)
                driverKey = device.DeviceKey + std::strlen(prefix);
        }
    }
    for (const KeyVisits& k : kKeys) {
        std::string key = k.key;
        if (key.compare(0, 6, "DRIVER") == 0) key = driverKey + key.substr(6);
        for (int visit = 0; visit < k.visits; ++visit)
            ReadValues(key);
    }
    // All modes, the raw ones too, when the driver does not prune them.
    DWORD pruning = 1;
    DWORD size = sizeof pruning;
    RegGetValueA(HKEY_LOCAL_MACHINE, driverKey.c_str(), "PruningMode", RRF_RT_REG_DWORD, nullptr,
                 &pruning, &size);
    DWORD flags = pruning == 0 ? EDS_RAWMODE : 0;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsExA(first.c_str(), i, &mode, flags); ++i) {
    }
    // The card database, which Cadenzo reads twice: whether it is there, and to look up.
    for (int pass = 0; pass < 2; ++pass) {
        HANDLE file = CreateFileA("ati.pci", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  0, nullptr);
        if (file == INVALID_HANDLE_VALUE) break;
        static char buffer[1 << 20];
        DWORD read = 0;
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
    }
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// One line a child window, as StartupTimer writes them: class, style, extended style, left,
// top, width, height, id, text, then the items of a combo or list box. Another process cannot
// read a window's font, so every one gets the font Cadenzo's forms use.
void CopyWindows(HWND parent, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return;
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
    char buffer[1 << 14];
    while (std::fgets(buffer, sizeof buffer, file)) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        std::vector<std::string> f = Fields(line);
        if (f.size() < 9) continue;
        auto number = [&f](int i) { return std::strtol(f[i].c_str(), nullptr, 0); };
        HWND child = CreateWindowExW(
            static_cast<DWORD>(number(2)), Wide(f[0]).c_str(), Wide(f[8]).c_str(),
            static_cast<DWORD>(number(1)), number(3), number(4), number(5), number(6), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(number(7))), nullptr, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        bool combo = lstrcmpiA(f[0].c_str(), "ComboBox") == 0;
        for (std::size_t i = 9; i < f.size(); ++i) {
            SendMessageW(child, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Wide(f[i]).c_str()));
        }
    }
    std::fclose(file);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    if (std::strstr(commandLine, "/read")) ReadAsCadenzoDoes();
    if (std::strstr(commandLine, "/none")) return 0;  // no window: a process and nothing else
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "EmptyWindow";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowExA(0, wc.lpszClassName, "Empty Window",
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 636, 480, nullptr, nullptr, instance, nullptr);
    if (const char* copy = std::strstr(commandLine, "/windows ")) {
        std::string path = copy + 9;
        while (!path.empty() && path.back() == ' ')
            path.pop_back();
        CopyWindows(hwnd, path.c_str());
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
