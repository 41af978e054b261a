// The test driver's helper inside the program under test. Wine keeps a window's menu in the
// process that owns it, out of another process's reach, so the driver hooks this DLL into the
// program's thread and asks it by posting a message to the window:
//
//   "CadenzoDriverMenu"  answers the window's menu, one entry a line:
//                        depth TAB command id TAB flags (s separator, p popup, g grayed,
//                        c checked) TAB text
//                        (UTF-8)
//   "CadenzoDriverGlyphs"
//                        for the child window in lParam: the face of its font TAB how many
//                        characters of its text that font has no glyph for
//   "CadenzoDriverSync"  answers nothing; the answer comes once the messages posted before it
//                        were handled
//
// The message's wParam is the driver's process id, which names the shared memory for the
// answer and the event that says it is there.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kAnswerSize = 65536;

std::string Utf8(const wchar_t* wide) {
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(size - 1);
    return text;
}

void Describe(HMENU menu, int depth, std::string& out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t wide[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = wide;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string text = Utf8(wide);
        std::string flags;
        if (info.fType & MFT_SEPARATOR) flags += 's';
        if (info.hSubMenu) flags += 'p';
        if (info.fState & MFS_GRAYED) flags += 'g';
        if (info.fState & MFS_CHECKED) flags += 'c';
        out += std::to_string(depth) + '\t' + std::to_string(info.hSubMenu ? 0 : info.wID) + '\t' +
               (flags.empty() ? "-" : flags) + '\t' + text + '\n';
        if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, out);
    }
}

// A font lives in the program's process: only there can its glyphs be looked up.
std::string Glyphs(HWND control) {
    std::wstring text(GetWindowTextLengthW(control) + 1, L'\0');
    text.resize(GetWindowTextW(control, text.data(), static_cast<int>(text.size())));
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    auto missing = std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF});
    return Utf8(face) + '\t' + std::to_string(missing);
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
    static const UINT glyphsRequest = RegisterWindowMessageA("CadenzoDriverGlyphs");
    static const UINT syncRequest = RegisterWindowMessageA("CadenzoDriverSync");
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const auto* msg = reinterpret_cast<const MSG*>(data);
        if (msg->message == menuRequest) {
            std::string text;
            if (HMENU menu = GetMenu(msg->hwnd)) Describe(menu, 0, text);
            Answer(msg->wParam, text);
        } else if (msg->message == glyphsRequest) {
            Answer(msg->wParam, Glyphs(reinterpret_cast<HWND>(msg->lParam)));
        } else if (msg->message == syncRequest) {
            Answer(msg->wParam, "");
        }
    }
    return CallNextHookEx(nullptr, code, removal, data);
}
