// The test driver's helper inside the program under test. Wine keeps a window's menu in the
// process that owns it, out of another process's reach, so the driver hooks this DLL into the
// program's thread and asks it by posting a message to the window:
//
//   "CadenzoDriverMenu"  answers the window's menu, one entry a line:
//                        depth TAB command id TAB flags (s separator, p popup, g grayed) TAB text
//   "CadenzoDriverSync"  answers nothing; the answer comes once the messages posted before it
//                        were handled
//
// The message's wParam is the driver's process id, which names the shared memory for the
// answer and the event that says it is there.

#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr size_t kAnswerSize = 65536;

void Describe(HMENU menu, int depth, std::string& out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string flags;
        if (info.fType & MFT_SEPARATOR) flags += 's';
        if (info.hSubMenu) flags += 'p';
        if (info.fState & MFS_GRAYED) flags += 'g';
        out += std::to_string(depth) + '\t' + std::to_string(info.hSubMenu ? 0 : info.wID) + '\t' +
               (flags.empty() ? "-" : flags) + '\t' + text + '\n';
        if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, out);
    }
}

void Answer(WPARAM driver, const std::string& text) {
    std::string base = "CadenzoDriver." + std::to_string(driver);
    if (HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE, (base + ".answer").c_str())) {
        if (void* view = MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, kAnswerSize)) {
            size_t length = text.size() < kAnswerSize - 1 ? text.size() : kAnswerSize - 1;
            std::memcpy(view, text.data(), length);
            static_cast<char*>(view)[length] = '\0';
            UnmapViewOfFile(view);
        }
        CloseHandle(memory);
    }
    if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, (base + ".done").c_str())) {
        SetEvent(done);
        CloseHandle(done);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    DriverHook(int code, WPARAM removal, LPARAM data) {
    static const UINT menuRequest = RegisterWindowMessageA("CadenzoDriverMenu");
    static const UINT syncRequest = RegisterWindowMessageA("CadenzoDriverSync");
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const auto* msg = reinterpret_cast<const MSG*>(data);
        if (msg->message == menuRequest) {
            std::string text;
            if (HMENU menu = GetMenu(msg->hwnd)) Describe(menu, 0, text);
            Answer(msg->wParam, text);
        } else if (msg->message == syncRequest) {
            Answer(msg->wParam, "");
        }
    }
    return CallNextHookEx(nullptr, code, removal, data);
}
