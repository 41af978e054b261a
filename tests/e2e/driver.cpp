// The Windows-side test driver: runs under Wine beside the program under test and does what a
// person at the screen would, printing what it saw. One command per run:
//
//   driver wait TITLE [TIMEOUT_MS]       waits for a top-level window titled TITLE, prints its
//                                        title
//   driver count TITLE                   how many visible top-level windows (not message boxes)
//                                        are titled TITLE
//   driver close TITLE [TIMEOUT_MS]      closes that window as the close box does, waits until
//                                        it is gone
//   driver frame TITLE                   the window itself, one "name TAB value" a line: class,
//                                        client (width TAB height), centred (on the desktop,
//                                        0/1), sizeable, system-menu, minimize-box,
//                                        maximize-box, topmost (0/1 each), menu (lines of the
//                                        menu bar, 0 for none)
//   driver controls TITLE                one line per child window, in Z order (the tab order;
//                                        group boxes beneath the rest): class, text, left, top,
//                                        width, height (in client coordinates), visible, enabled,
//                                        check state (0, 1, 2; "-" for other than check boxes),
//                                        items of a list ("|" between them; "-" for other than
//                                        lists), separated by tabs
//   driver menu TITLE                    the window's menu, one entry a line, indented by two
//                                        spaces a level; a separator is "-", a checked entry
//                                        ends in " [checked]"
//   driver click TITLE TEXT              clicks the button or check box captioned TEXT
//   driver menu-click TITLE "Top|Entry"  chooses that menu entry
//   driver set-text TITLE N TEXT         puts TEXT in the edit field of the Nth combo box (from
//                                        1, in Z order), as typing does
//   driver set-edit TITLE N TEXT         puts TEXT in the Nth edit field (from 1, in Z order), as
//                                        typing does
//   driver click-line TITLE N LINE       clicks line LINE (from 0) of the Nth list box (from 1,
//                                        in Z order) with the mouse, which selects it
//   driver double-click-line TITLE N LINE
//                                        double-clicks that line with the mouse
//   driver answer CAPTION yes|no|ok [TIMEOUT_MS]
//                                        waits for a message box captioned CAPTION, prints its
//                                        text and presses the button
//   driver wait-dialog TITLE [TIMEOUT_MS]
//                                        waits for a dialog (a message box, an Open or Save
//                                        dialog) titled TITLE, prints its title
//   driver choose-file TITLE NAME [TIMEOUT_MS]
//                                        waits for the Open or Save dialog titled TITLE, prints
//                                        the file types it lists ("types: " and "|" between
//                                        them), types NAME into its file-name field, presses
//                                        its Open or Save button and waits until it closes
//   driver open-menu TITLE N [HOLD_MS]   opens the Nth menu of the menu bar (from 1), keeps it
//                                        open HOLD_MS (for a screenshot), closes it with Escape
//   driver hold-lock MS                  holds Cadenzo's writer lock for MS milliseconds
//   driver key TITLE tab|enter|space|escape
//                                        presses the key in the control with the focus, prints
//                                        class and text of the control with the focus afterwards
//   driver hover TITLE TEXT              moves the mouse onto the control captioned TEXT, which
//                                        shows its hint after a moment
//   driver glyphs TITLE TEXT             the face of the font of the control captioned TEXT, a
//                                        tab, and how many characters of TEXT it has no glyph
//                                        for (0: the text shows as written)
//   driver pick TITLE TEXT               selects the line TEXT of the window's list box, as a
//                                        click on it does
//   driver hint TITLE TEXT [TIMEOUT_MS]  rests the mouse on the control captioned TEXT until
//                                        the program shows its hint, prints the hint
//   driver wait-value KEY NAME HEX [TIMEOUT_MS]
//                                        waits until the value NAME of HKEY_LOCAL_MACHINE\KEY
//                                        holds the bytes HEX (as `reg query` shows binary
//                                        data), looking every millisecond, and prints how long
//                                        that took
//   driver event-text FILE ID TEXT     what Event Viewer shows for an entry of event ID whose one
//                                        string is TEXT, from the message file FILE (the exe the
//                                        source names); fails when FILE has no such message
//   driver matrix DRIVERKEY INSTALLDIR CASEFILE
//                                        starts the program once per bad-input case of
//                                        CASEFILE, each on the registry as it was plus the
//                                        case's changes, closes it as a user would and prints
//                                        what happened (see Matrix below)
//
// Texts are taken and printed as UTF-8, whatever the program's ANSI code page.
//
// Copied to the name "hh.exe" the driver stands in for the help viewer: it appends its command
// line to "viewer.log" beside itself and ends.
//
// Commands that act wait until the program has handled what they did. Exit code 0 on success,
// 1 when a window, control or entry is not there or the program did not react, 2 for a wrong
// command line.

#include <windows.h>
// After windows.h, which they need.
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeoutMs = 10000;
constexpr DWORD kAnswerTimeoutMs = 10000;
constexpr size_t kAnswerSize = 65536;  // as in driverhook.cpp

struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw Failure{message}; }

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int size = static_cast<int>(wide.size());
    std::string text(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int size = static_cast<int>(utf8.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return Utf8(name);
}

// WM_GETTEXT rather than GetWindowText: only the message reads an edit field of another
// process. The wide one: the ANSI one would pass the text through the ANSI code page.
std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied <= length ? copied : 0);
    return Utf8(text);
}

// One line a field: tabs and line breaks are written as \t and \n.
std::string Field(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

struct Search {
    std::string title;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(hwnd) || TextOf(hwnd) != search->title) return TRUE;
    if ((ClassOf(hwnd) == "#32770") != search->messageBox) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A visible top-level window with that title: a message box (dialog class) or any other.
HWND FindTopLevel(const std::string& title, bool messageBox, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Search search{title, messageBox, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start > timeoutMs) {
            Fail(std::string("no ") + (messageBox ? "message box captioned" : "window titled") +
                 " \"" + title + "\"");
        }
        Sleep(100);
    }
}

HWND FindWindowTitled(const std::string& title, DWORD timeoutMs = kDefaultTimeoutMs) {
    return FindTopLevel(title, false, timeoutMs);
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsCheckBox(HWND hwnd) {
    if (ClassOf(hwnd) != "Button") return false;
    switch (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

LRESULT Query(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

// The items through the wide messages: Wine passes an ANSI item text to another process one
// character short.
std::string ItemsOf(HWND hwnd) {
    std::string cls = ClassOf(hwnd);
    bool combo = cls == "ComboBox";
    if (!combo && cls != "ListBox") return "-";
    LRESULT count = Query(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT);
    std::string items;
    for (LRESULT i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG,
                            5000, &length);
        std::wstring wide(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                            reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 5000, &copied);
        wide.resize(copied <= length ? copied : 0);
        items += (i ? "|" : "") + Utf8(wide);
    }
    return items;
}

// The driver's helper DLL, hooked into the thread of the program's window for as long as the
// command runs. It answers what only the program's own process can read and tells when the
// program has handled the messages posted to it.
class ProgramHook {
public:
    explicit ProgramHook(HWND window) : window_(window) {
        std::string base = "CadenzoDriver." + std::to_string(GetCurrentProcessId());
        memory_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAnswerSize,
                                     (base + ".answer").c_str());
        done_ = CreateEventA(nullptr, TRUE, FALSE, (base + ".done").c_str());
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dll = path;
        dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "cadenzo_e2e_hook.dll";
        module_ = LoadLibraryA(dll.c_str());
        auto proc = module_ ? reinterpret_cast<HOOKPROC>(
                                  reinterpret_cast<void*>(GetProcAddress(module_, "DriverHook")))
                            : nullptr;
        DWORD id = 0;
        DWORD thread = GetWindowThreadProcessId(window, &id);
        // A message that ends the program is never answered: its end is the answer.
        program_ = OpenProcess(SYNCHRONIZE, FALSE, id);
        hook_ = proc ? SetWindowsHookExA(WH_GETMESSAGE, proc, module_, thread) : nullptr;
        if (!memory_ || !done_ || !hook_) Fail("cannot hook into the program (" + dll + ")");
    }
    ~ProgramHook() {
        if (hook_) UnhookWindowsHookEx(hook_);
        if (module_) FreeLibrary(module_);
        if (done_) CloseHandle(done_);
        if (memory_) CloseHandle(memory_);
        if (program_) CloseHandle(program_);
    }
    ProgramHook(const ProgramHook&) = delete;
    ProgramHook& operator=(const ProgramHook&) = delete;

    // The program's answer; `ended` (when given) is set when the program ended instead.
    std::string Ask(const char* request, LPARAM about = 0, bool* ended = nullptr) {
        ResetEvent(done_);
        PostMessageA(window_, RegisterWindowMessageA(request), GetCurrentProcessId(), about);
        HANDLE waits[] = {done_, program_};
        DWORD woke = WaitForMultipleObjects(program_ ? 2 : 1, waits, FALSE, kAnswerTimeoutMs);
        if (woke == WAIT_OBJECT_0 + 1 && ended) {
            *ended = true;
            return "";
        }
        if (woke != WAIT_OBJECT_0) Fail("the program did not answer");
        const char* view =
            static_cast<const char*>(MapViewOfFile(memory_, FILE_MAP_READ, 0, 0, kAnswerSize));
        std::string answer = view ? view : "";
        if (view) UnmapViewOfFile(view);
        return answer;
    }
    // Returns once the program has handled every message posted to it before, or has ended.
    void Sync() {
        bool ended = false;
        Ask("CadenzoDriverSync", 0, &ended);
    }

private:
    HWND window_;
    HANDLE memory_ = nullptr;
    HANDLE done_ = nullptr;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE program_ = nullptr;
};

struct MenuEntry {
    int depth;
    UINT id;
    std::string flags;
    std::string text;
};

std::vector<MenuEntry> MenuOf(ProgramHook& hook) {
    std::vector<MenuEntry> entries;
    std::string answer = hook.Ask("CadenzoDriverMenu");
    size_t at = 0;
    while (at < answer.size()) {
        size_t end = answer.find('\n', at);
        std::string line = answer.substr(at, end - at);
        at = end == std::string::npos ? answer.size() : end + 1;
        size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1), t3 = line.find('\t', t2 + 1);
        if (t3 == std::string::npos) continue;
        entries.push_back({std::atoi(line.c_str()),
                           static_cast<UINT>(std::strtoul(line.c_str() + t1 + 1, nullptr, 10)),
                           line.substr(t2 + 1, t3 - t2 - 1), line.substr(t3 + 1)});
    }
    return entries;
}

int Wait(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 30000;
    HWND hwnd = FindWindowTitled(args[0], timeout);
    std::printf("window \"%s\"\n", TextOf(hwnd).c_str());
    return 0;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<std::string, int>*>(data);
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) != "#32770" && TextOf(hwnd) == search->first) {
        ++search->second;
    }
    return TRUE;
}

int Count(const std::vector<std::string>& args) {
    std::pair<std::string, int> search{args[0], 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&search));
    std::printf("%d\n", search.second);
    return 0;
}

int Close(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 30000;
    HWND hwnd = FindWindowTitled(args[0], timeout);
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD start = GetTickCount();
    while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        if (GetTickCount() - start > timeout) Fail("window \"" + args[0] + "\" did not close");
        Sleep(100);
    }
    std::printf("closed \"%s\"\n", args[0].c_str());
    return 0;
}

int Frame(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    int dx = (outer.left + outer.right) - GetSystemMetrics(SM_CXSCREEN);
    int dy = (outer.top + outer.bottom) - GetSystemMetrics(SM_CYSCREEN);
    // Wine does not let another process read a menu: the menu bar's lines are what the frame
    // has more than a frame without a menu.
    RECT bare = client;
    AdjustWindowRectEx(&bare, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(exStyle));
    int extra = (outer.bottom - outer.top) - (bare.bottom - bare.top);
    int line = GetSystemMetrics(SM_CYMENU);
    int menuLines = line > 0 ? (extra + line / 2) / line : 0;
    std::printf("class\t%s\n", ClassOf(window).c_str());
    std::printf("client\t%ld\t%ld\n", client.right, client.bottom);
    std::printf("centred\t%d\n", dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2 ? 1 : 0);
    std::printf("sizeable\t%d\n", style & WS_THICKFRAME ? 1 : 0);
    std::printf("system-menu\t%d\n", style & WS_SYSMENU ? 1 : 0);
    std::printf("minimize-box\t%d\n", style & WS_MINIMIZEBOX ? 1 : 0);
    std::printf("maximize-box\t%d\n", style & WS_MAXIMIZEBOX ? 1 : 0);
    std::printf("topmost\t%d\n", exStyle & WS_EX_TOPMOST ? 1 : 0);
    std::printf("menu\t%d\n", menuLines);
    return 0;
}

int Controls(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    for (HWND child : ChildrenOf(window)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        std::string check =
            IsCheckBox(child) ? std::to_string(Query(child, BM_GETCHECK)) : std::string("-");
        bool visible = (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
        std::printf("%s\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%s\t%s\n", ClassOf(child).c_str(),
                    Field(TextOf(child)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                    visible ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, check.c_str(),
                    Field(ItemsOf(child)).c_str());
    }
    return 0;
}

int Menu(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    ProgramHook hook(window);
    for (const MenuEntry& entry : MenuOf(hook)) {
        bool separator = entry.flags.find('s') != std::string::npos;
        bool checked = entry.flags.find('c') != std::string::npos;
        std::printf("%s%s%s\n", std::string(2 * entry.depth, ' ').c_str(),
                    separator ? "-" : entry.text.c_str(), checked ? " [checked]" : "");
    }
    return 0;
}

HWND FindChild(HWND window, const std::string& text) {
    for (HWND child : ChildrenOf(window)) {
        if (TextOf(child) == text) return child;
    }
    Fail("no control \"" + text + "\" in the window");
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Posted as typed: the program's message loop passes them through IsDialogMessage.
int Key(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    struct Name {
        const char* name;
        WPARAM key;
        char typed;
    };
    constexpr Name kKeys[] = {{"tab", VK_TAB, '\t'},
                              {"enter", VK_RETURN, '\r'},
                              {"space", VK_SPACE, ' '},
                              {"escape", VK_ESCAPE, '\x1b'}};
    for (const Name& key : kKeys) {
        if (args[1] != key.name) continue;
        HWND focus = FocusOf(window);
        if (!focus) focus = window;
        ProgramHook hook(window);
        PostMessageA(focus, WM_KEYDOWN, key.key, 1);
        PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(key.typed), 1);
        PostMessageA(focus, WM_KEYUP, key.key, 0xC0000001);
        hook.Sync();
        HWND now = FocusOf(window);
        // The edit field inside a combo box stands for the combo box.
        if (now && ClassOf(GetParent(now)) == "ComboBox") now = GetParent(now);
        std::printf("focus\t%s\t%s\n", now ? ClassOf(now).c_str() : "-",
                    now ? Field(TextOf(now)).c_str() : "-");
        return 0;
    }
    Fail("no key \"" + args[1] + "\"");
}

// Two steps onto the control's middle: a tooltip counts from a move inside the control, and
// every further move starts the count again.
void MoveMouseOnto(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2 - 1, (r.top + r.bottom) / 2);
    Sleep(100);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

int Hover(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    HWND control = FindChild(window, args[1]);
    MoveMouseOnto(control);
    std::printf("over \"%s\"\n", args[1].c_str());
    return 0;
}

struct ClassSearch {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process || !IsWindowVisible(hwnd) ||
        ClassOf(hwnd) != search->className) {
        return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

// A visible top-level window of that class in the process of `window`, or none.
HWND VisibleOfClass(HWND window, const char* className) {
    ClassSearch search{0, className, nullptr};
    GetWindowThreadProcessId(window, &search.process);
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A tooltip answers WM_GETTEXT with the text it shows.
int Hint(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 10000;
    HWND window = FindWindowTitled(args[0]);
    HWND control = FindChild(window, args[1]);
    MoveMouseOnto(control);
    DWORD start = GetTickCount();
    for (;;) {
        Sleep(100);
        HWND tooltip = VisibleOfClass(window, "tooltips_class32");
        std::string text = tooltip ? TextOf(tooltip) : std::string();
        if (!text.empty()) {
            std::printf("%s\n", text.c_str());
            return 0;
        }
        if (GetTickCount() - start > timeout) Fail("no hint over \"" + args[1] + "\"");
    }
}

int Glyphs(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    HWND control = FindChild(window, args[1]);
    ProgramHook hook(window);
    std::printf("%s\n", hook.Ask("CadenzoDriverGlyphs", reinterpret_cast<LPARAM>(control)).c_str());
    return 0;
}

int EventText(const std::vector<std::string>& args) {
    HMODULE file = LoadLibraryExW(Wide(args[0]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!file) Fail("cannot load " + args[0]);
    std::wstring text = Wide(args[2]);
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(text.c_str())};
    wchar_t* shown = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                           FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       file, std::strtoul(args[1].c_str(), nullptr, 10), 0,
                       reinterpret_cast<wchar_t*>(&shown), 0, reinterpret_cast<va_list*>(inserts));
    FreeLibrary(file);
    if (length == 0) Fail("no message " + args[1] + " in " + args[0]);
    std::wstring message(shown, length);
    LocalFree(shown);
    // The message compiler ends each message with a line end.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    std::printf("%s\n", Utf8(message).c_str());
    return 0;
}

int Click(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    for (HWND child : ChildrenOf(window)) {
        if (ClassOf(child) != "Button" || TextOf(child) != args[1]) continue;
        if (!IsWindowVisible(child) || !IsWindowEnabled(child)) {
            Fail("\"" + args[1] + "\" cannot be clicked: hidden or disabled");
        }
        ProgramHook hook(window);
        PostMessageA(child, BM_CLICK, 0, 0);
        hook.Sync();
        std::printf("clicked \"%s\"\n", args[1].c_str());
        return 0;
    }
    Fail("no button \"" + args[1] + "\" in \"" + args[0] + "\"");
}

int Pick(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    for (HWND child : ChildrenOf(window)) {
        if (ClassOf(child) != "ListBox") continue;
        std::string items = ItemsOf(child) + "|";
        int line = 0;
        for (size_t at = 0, bar; (bar = items.find('|', at)) != std::string::npos;
             at = bar + 1, ++line) {
            if (items.compare(at, bar - at, args[1]) != 0) continue;
            ProgramHook hook(window);
            // A click selects the line, then the list box tells its parent.
            PostMessageW(child, LB_SETCURSEL, line, 0);
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(child));
            hook.Sync();
            std::printf("picked \"%s\"\n", args[1].c_str());
            return 0;
        }
        Fail("no line \"" + args[1] + "\" in the list of \"" + args[0] + "\"");
    }
    Fail("no list box in \"" + args[0] + "\"");
}

int MenuClick(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    ProgramHook hook(window);
    std::vector<std::string> path;
    for (size_t at = 0; at <= args[1].size();) {
        size_t bar = args[1].find('|', at);
        if (bar == std::string::npos) bar = args[1].size();
        path.push_back(args[1].substr(at, bar - at));
        at = bar + 1;
    }
    // Walks down the path: each step looks among the entries one level deeper.
    size_t matched = 0;
    for (const MenuEntry& entry : MenuOf(hook)) {
        if (entry.depth < static_cast<int>(matched)) break;
        if (entry.depth != static_cast<int>(matched) || entry.text != path[matched]) continue;
        if (++matched < path.size()) continue;
        if (entry.flags.find('g') != std::string::npos) Fail("\"" + args[1] + "\" is grayed");
        if (entry.flags.find('p') != std::string::npos) Fail("\"" + args[1] + "\" is a submenu");
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(entry.id, 0), 0);
        hook.Sync();
        std::printf("chose \"%s\"\n", args[1].c_str());
        return 0;
    }
    Fail("no menu entry \"" + args[1] + "\" in \"" + args[0] + "\"");
}

int SetText(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    int wanted = std::atoi(args[1].c_str());
    int seen = 0;
    for (HWND child : ChildrenOf(window)) {
        if (ClassOf(child) != "ComboBox" || ++seen != wanted) continue;
        // The edit field inside the combo box, which reports the change as typing does.
        HWND field = GetWindow(child, GW_CHILD);
        if (!field) Fail("combo box " + args[1] + " has no edit field");
        ProgramHook hook(window);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(args[2]).c_str()),
                            SMTO_ABORTIFHUNG, 5000, &result);
        hook.Sync();
        std::printf("combo box %d: \"%s\"\n", wanted, TextOf(child).c_str());
        return 0;
    }
    Fail("no combo box " + args[1] + " in \"" + args[0] + "\"");
}

// The Nth child window of class `cls` (from 1, in Z order).
HWND NthChild(HWND window, const std::string& cls, const std::string& n) {
    int wanted = std::atoi(n.c_str());
    int seen = 0;
    for (HWND child : ChildrenOf(window)) {
        if (ClassOf(child) == cls && ++seen == wanted) return child;
    }
    Fail("no " + cls + " " + n + " in the window");
}

int SetEdit(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    HWND field = NthChild(window, "Edit", args[1]);
    ProgramHook hook(window);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(args[2]).c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    hook.Sync();
    std::printf("edit %s: \"%s\"\n", args[1].c_str(), TextOf(field).c_str());
    return 0;
}

// The mouse on a line of a list box: the messages a click (and a double click) sends, at the
// middle of the line as the list shows it now.
int ClickLine(const std::vector<std::string>& args, bool twice) {
    HWND window = FindWindowTitled(args[0]);
    HWND list = NthChild(window, "ListBox", args[1]);
    LRESULT line = std::atoi(args[2].c_str());
    if (line < 0 || line >= Query(list, LB_GETCOUNT)) Fail("no line " + args[2] + " in the list");
    LRESULT height = Query(list, LB_GETITEMHEIGHT, 0);
    LPARAM at = MAKELPARAM(8, (line - Query(list, LB_GETTOPINDEX)) * height + height / 2);
    ProgramHook hook(window);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }
    hook.Sync();
    std::printf("%s line %s\n", twice ? "double-clicked" : "clicked", args[2].c_str());
    return 0;
}

int ClickLineOnce(const std::vector<std::string>& args) { return ClickLine(args, false); }
int DoubleClickLine(const std::vector<std::string>& args) { return ClickLine(args, true); }

int Answer(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 30000;
    HWND box = FindTopLevel(args[0], true, timeout);
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) != "Static") continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        std::string text = TextOf(child);
        if (!text.empty()) std::printf("%s\n", text.c_str());
    }
    int id = args[1] == "yes" ? IDYES : args[1] == "no" ? IDNO : args[1] == "ok" ? IDOK : 0;
    HWND button = id ? GetDlgItem(box, id) : nullptr;
    if (!button) Fail("the box has no button \"" + args[1] + "\"");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start > kDefaultTimeoutMs) Fail("the box did not close");
        Sleep(50);
    }
    return 0;
}

int WaitDialog(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 30000;
    std::printf("dialog \"%s\"\n", TextOf(FindTopLevel(args[0], true, timeout)).c_str());
    return 0;
}

// The common dialogs' control ids (dlgs.h): the file-type list, and the file-name field, a
// combo box in the newer dialogs and an edit field in the older.
constexpr int kFileTypes = 0x470;
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr UINT kGetEditControl = WM_USER + 7;  // CBEM_GETEDITCONTROL

int ChooseFile(const std::vector<std::string>& args) {
    DWORD timeout = args.size() > 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 30000;
    HWND dialog = FindTopLevel(args[0], true, timeout);
    HWND types = GetDlgItem(dialog, kFileTypes);
    std::printf("types: %s\n", types ? ItemsOf(types).c_str() : "-");
    // The newer dialogs' field is an extended combo box: its edit field lies in a combo box
    // of its own, which the extended one names.
    HWND combo = GetDlgItem(dialog, kFileNameCombo);
    HWND field = combo ? reinterpret_cast<HWND>(Query(combo, kGetEditControl))
                       : GetDlgItem(dialog, kFileNameEdit);
    if (combo && !field) field = GetWindow(combo, GW_CHILD);
    HWND button = GetDlgItem(dialog, IDOK);
    if (!field || !button) Fail("\"" + args[0] + "\" is no Open or Save dialog");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(args[1]).c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    // What the dialog reads when the button is pressed.
    if (TextOf(combo ? combo : field) != args[1]) Fail("the file name did not take");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    DWORD start = GetTickCount();
    while (IsWindow(dialog)) {
        if (GetTickCount() - start > kDefaultTimeoutMs) Fail("the dialog did not close");
        Sleep(50);
    }
    std::printf("chose \"%s\"\n", args[1].c_str());
    return 0;
}

// A drop-down menu of the program is open: the system's menu window class is visible.
bool MenuOpen(HWND window) { return VisibleOfClass(window, "#32768") != nullptr; }

bool AwaitMenu(HWND window, bool open) {
    DWORD start = GetTickCount();
    while (MenuOpen(window) != open) {
        if (GetTickCount() - start > kDefaultTimeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// Keys posted to the window reach the menu's own message loop as typed keys.
void Key(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 1); }

int OpenMenu(const std::vector<std::string>& args) {
    HWND window = FindWindowTitled(args[0]);
    int index = std::atoi(args[1].c_str());
    DWORD hold = args.size() > 2 ? std::strtoul(args[2].c_str(), nullptr, 10) : 2000;
    if (index < 1) Fail("menus count from 1");
    SetForegroundWindow(window);
    // F10's way into the menu bar: its first menu is selected, none open yet.
    PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 1; i < index; ++i)
        Key(window, VK_RIGHT);
    Key(window, VK_DOWN);
    if (!AwaitMenu(window, true)) Fail("menu " + args[1] + " did not open");
    std::printf("opened menu %d\n", index);
    std::fflush(stdout);
    Sleep(hold);
    Key(window, VK_ESCAPE);  // closes the drop-down
    Key(window, VK_ESCAPE);  // leaves the menu bar
    if (!AwaitMenu(window, false)) Fail("menu " + args[1] + " did not close");
    std::printf("closed menu %d\n", index);
    return 0;
}

std::string Hex(const BYTE* data, DWORD size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex += kDigits[data[i] >> 4];
        hex += kDigits[data[i] & 0x0F];
    }
    return hex;
}

// Under Wine a change of the display mode rebuilds the driver key, and does so again moments
// later for a program that starts meanwhile: a value written in between lives only a few
// milliseconds. So the key is opened afresh and looked at every millisecond.
// Holds Cadenzo's writer lock (the named mutex every writer of the driver's settings takes) for
// the milliseconds given, as another Cadenzo changing the settings would; prints "held" once
// it holds it.
int HoldLock(const std::vector<std::string>& args) {
    HANDLE lock = CreateMutexW(nullptr, TRUE, L"Global\\Cadenzo driver settings");
    if (!lock) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::stoul(args[0])));
    ReleaseMutex(lock);
    CloseHandle(lock);
    return 0;
}

int WaitValue(const std::vector<std::string>& args) {
    std::wstring key = Wide(args[0]);
    std::wstring name = Wide(args[1]);
    std::string wanted = args[2];
    for (char& c : wanted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    DWORD timeout =
        args.size() > 3 ? std::strtoul(args[3].c_str(), nullptr, 10) : kDefaultTimeoutMs;
    std::vector<BYTE> data(65536);
    DWORD start = GetTickCount();
    for (;;) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) ==
            ERROR_SUCCESS) {
            DWORD size = static_cast<DWORD>(data.size());
            bool holds = RegQueryValueExW(handle, name.c_str(), nullptr, nullptr, data.data(),
                                          &size) == ERROR_SUCCESS &&
                         Hex(data.data(), size) == wanted;
            RegCloseKey(handle);
            if (holds) {
                std::printf("value \"%s\" after %lu ms\n", args[1].c_str(), GetTickCount() - start);
                return 0;
            }
        }
        if (GetTickCount() - start > timeout)
            Fail("value \"" + args[1] + "\" did not hold " + args[2]);
        Sleep(1);
    }
}

// --- The bad-input matrix: many starts of the program in one run of the driver -------------

// A key with its values and subkeys, exactly as stored, to compare and to put back.
struct KeyTree {
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
        bool operator==(const Value& o) const {
            return name == o.name && type == o.type && data == o.data;
        }
    };
    bool exists = false;
    std::vector<Value> values;
    std::vector<std::pair<std::wstring, KeyTree>> subkeys;
    bool operator==(const KeyTree& o) const {
        return exists == o.exists && values == o.values && subkeys == o.subkeys;
    }
};

KeyTree ReadTree(const std::wstring& path) {
    KeyTree tree;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return tree;
    }
    tree.exists = true;
    DWORD subkeyCount = 0, longestSubkey = 0, valueCount = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &longestSubkey, nullptr,
                     &valueCount, &longestName, &longestData, nullptr, nullptr);
    for (DWORD i = 0; i < valueCount; ++i) {
        std::wstring name(longestName + 2, L'\0');
        std::vector<BYTE> data(longestData + 2);
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = longestData + 2, type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS) {
            continue;
        }
        name.resize(nameSize);
        data.resize(dataSize);
        tree.values.push_back({name, type, data});
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
        std::wstring name(longestSubkey + 2, L'\0');
        DWORD nameSize = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            continue;
        }
        name.resize(nameSize);
        tree.subkeys.emplace_back(name, ReadTree(path + L"\\" + name));
    }
    RegCloseKey(key);
    return tree;
}

// Sets a value to exactly these bytes. Windows adds a terminator to a string whose data is
// followed by a NUL in memory, so the data lies between bytes that are not NUL.
LONG SetExactValue(HKEY key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    std::vector<BYTE> padded(data.size() + 4, 0xAB);
    std::copy(data.begin(), data.end(), padded.begin() + 2);
    return RegSetValueExW(key, name.c_str(), 0, type, padded.data() + 2,
                          static_cast<DWORD>(data.size()));
}

// Makes the key at `path` hold exactly what `tree` holds.
void WriteTree(const std::wstring& path, const KeyTree& tree) {
    if (!tree.exists) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    KeyTree now = ReadTree(path);
    for (const KeyTree::Value& value : now.values) {
        bool kept = false;
        for (const KeyTree::Value& wanted : tree.values)
            kept = kept || lstrcmpiW(wanted.name.c_str(), value.name.c_str()) == 0;
        if (!kept) RegDeleteValueW(key, value.name.c_str());
    }
    for (const KeyTree::Value& value : tree.values) {
        bool same = false;
        for (const KeyTree::Value& old : now.values)
            same = same || old == value;
        if (!same) SetExactValue(key, value.name, value.type, value.data);
    }
    RegCloseKey(key);
    for (const auto& [name, sub] : now.subkeys) {
        bool kept = false;
        for (const auto& wanted : tree.subkeys)
            kept = kept || lstrcmpiW(wanted.first.c_str(), name.c_str()) == 0;
        if (!kept) WriteTree(path + L"\\" + name, KeyTree{});
    }
    for (const auto& [name, sub] : tree.subkeys)
        WriteTree(path + L"\\" + name, sub);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (size_t at = 0;;) {
        size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        if (end == std::string::npos) return parts;
        at = end + 1;
    }
}

// Value data as a case gives it: "hex:0A0B..", "fill:FF:2049" (that byte so many times),
// "text:..." (UTF-16 with its terminator, as Windows stores a string), or nothing (0 bytes).
std::vector<BYTE> CaseData(const std::string& given) {
    std::vector<BYTE> data;
    if (given.rfind("hex:", 0) == 0) {
        for (size_t i = 4; i + 1 < given.size(); i += 2)
            data.push_back(
                static_cast<BYTE>(std::strtoul(given.substr(i, 2).c_str(), nullptr, 16)));
    } else if (given.rfind("fill:", 0) == 0) {
        std::vector<std::string> parts = SplitAt(given, ':');
        if (parts.size() == 3) {
            data.assign(std::strtoul(parts[2].c_str(), nullptr, 10),
                        static_cast<BYTE>(std::strtoul(parts[1].c_str(), nullptr, 16)));
        }
    } else if (given.rfind("text:", 0) == 0) {
        std::wstring text = Wide(given.substr(5));
        const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    }
    return data;
}

DWORD CaseType(const std::string& name) {
    static const std::pair<const char*, DWORD> kTypes[] = {
        {"none", REG_NONE},           {"sz", REG_SZ},
        {"expand_sz", REG_EXPAND_SZ}, {"binary", REG_BINARY},
        {"dword", REG_DWORD},         {"multi_sz", REG_MULTI_SZ},
        {"qword", REG_QWORD},         {"big_endian", REG_DWORD_BIG_ENDIAN}};
    for (const auto& [text, type] : kTypes) {
        if (name == text) return type;
    }
    return std::strtoul(name.c_str(), nullptr, 0);
}

// A key whose access rights a case took away, and its security as it was.
struct Denied {
    std::wstring path;
    std::vector<BYTE> security;
};

// Denies everyone the key's rights in `mask` (its own rights, not the right to change its
// security, so the key can be given back).
bool Deny(const std::wstring& path, DWORD mask, std::vector<Denied>& denied) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    Denied old{path, std::vector<BYTE>(65536)};
    DWORD size = static_cast<DWORD>(old.security.size());
    bool done = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old.security.data(), &size) ==
                ERROR_SUCCESS;
    wchar_t sddl[64];
    wsprintfW(sddl, L"D:(D;;0x%lx;;;WD)(A;;KA;;;WD)", mask);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    done = done && ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                        &descriptor, nullptr);
    done = done && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    if (descriptor) LocalFree(descriptor);
    RegCloseKey(key);
    if (done) denied.push_back(std::move(old));
    return done;
}

void GiveBack(std::vector<Denied>& denied) {
    for (Denied& d : denied) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, d.path.c_str(), 0, WRITE_DAC, &key) ==
            ERROR_SUCCESS) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, d.security.data());
            RegCloseKey(key);
        }
    }
    denied.clear();
}

// Carries out one change of a case ("set|KEY|NAME|TYPE|DATA", "del|KEY|NAME", "delkey|KEY",
// "deny|KEY|MASK"); KEY "@" stands for the driver key.
bool ApplyChange(const std::string& change, const std::string& driverKey,
                 std::vector<Denied>& denied) {
    std::vector<std::string> f = SplitAt(change, '|');
    if (f.size() < 2) return false;
    std::string key = f[1];
    if (key.rfind('@', 0) == 0) key = driverKey + key.substr(1);
    std::wstring path = Wide(key);
    if (f[0] == "delkey") {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());  // the key itself goes too
        return !ReadTree(path).exists;
    }
    if (f[0] == "deny" && f.size() == 3) {
        return Deny(path, std::strtoul(f[2].c_str(), nullptr, 16), denied);
    }
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG status = ERROR_INVALID_PARAMETER;
    if (f[0] == "set" && f.size() == 5) {
        status = SetExactValue(handle, Wide(f[2]), CaseType(f[3]), CaseData(f[4]));
    } else if (f[0] == "del" && f.size() == 3) {
        status = RegDeleteValueW(handle, Wide(f[2]).c_str());
    }
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exe) {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, exe) == 0) found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

void EndProcess(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

struct ProcessWindows {
    DWORD process;
    HWND box;   // a message box of the process
    HWND main;  // the main window
    std::string mainTitle;
};

BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<ProcessWindows*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != search->process || !IsWindowVisible(hwnd)) return TRUE;
    if (ClassOf(hwnd) == "#32770") {
        search->box = hwnd;
    } else if (TextOf(hwnd) == search->mainTitle) {
        search->main = hwnd;
    }
    return TRUE;
}

// Answers a message box as a careful user does: No to a question, else OK. Returns what it
// said, "caption: text".
std::string AnswerBox(HWND box) {
    std::string said = TextOf(box) + ":";
    for (HWND child : ChildrenOf(box)) {
        if (ClassOf(child) != "Static") continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        std::string text = TextOf(child);
        if (!text.empty()) said += " " + text;
    }
    int id = GetDlgItem(box, IDNO) ? IDNO : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    DWORD start = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < kDefaultTimeoutMs)
        Sleep(20);
    return Field(said);
}

// The main window waits for the user: shown, painted, not disabled by a wait for the registry
// editor, no message box open.
bool WaitsForUser(const ProcessWindows& seen) {
    RECT dirty;
    return seen.main && !seen.box && IsWindowEnabled(seen.main) &&
           !GetUpdateRect(seen.main, &dirty, FALSE) && ProcessesNamed(L"regedit.exe").empty();
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto read = [](const std::wstring& path, std::string& bytes) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        char chunk[65536];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
            bytes.append(chunk, got);
        CloseHandle(file);
        return true;
    };
    std::string x, y;
    return read(a, x) && read(b, y) && !x.empty() && x == y;
}

// Runs a program to its end (at most 30 s); its exit code, or -1.
long RunToEnd(std::wstring commandLine, const std::wstring& directory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// driver matrix DRIVERKEY INSTALLDIR CASEFILE
//   CASEFILE: "root<TAB>KEY" lines name the keys every case starts from as they are now;
//   "case<TAB>NAME<TAB>ACTION<TAB>CHANGE..." lines are the cases. ACTION: cancel (the main
//   window's Cancel), ok (its OK), resolutions (the non-standard resolutions window opened and
//   closed, then Cancel), resolutions-ok (the same, but the list saved with its OK), away (Cancel,
//   started from a directory without the card database). An OK after which the program goes on is
//   followed by Cancel. Message boxes are answered No when they ask, else OK. Per case one line:
//   "case", name, outcome, crash (yes/no), unexpected write (yes/no), seconds.
int Matrix(const std::vector<std::string>& args) {
    const std::string& driverKey = args[0];
    std::wstring installDir = Wide(args[1]);
    HANDLE file = CreateFileW(Wide(args[2]).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot read " + args[2]);
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        text.append(chunk, got);
    CloseHandle(file);

    const std::string title = "Cadenzo 0.98 beta";
    const std::string dialog = "Non-Standart Resolutions Mangement";
    const wchar_t* backups[] = {L"backup.dat", L"lastknowngood.dat", L"firstrun.dat"};
    std::wstring driverPath = Wide(driverKey);
    std::vector<std::pair<std::wstring, KeyTree>> roots;
    std::vector<std::vector<std::string>> cases;
    for (std::string line : SplitAt(text, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f = SplitAt(line, '\t');
        if (f[0] == "root" && f.size() == 2) {
            std::string key = f[1] == "@" ? driverKey : f[1];
            roots.emplace_back(Wide(key), ReadTree(Wide(key)));
        } else if (f[0] == "case" && f.size() >= 3) {
            cases.emplace_back(f.begin() + 1, f.end());
        }
    }

    auto putBack = [&] {
        for (const auto& [path, tree] : roots)
            WriteTree(path, tree);
        for (const wchar_t* name : backups) {
            DeleteFileW((installDir + L"\\" + name).c_str());
            DeleteFileW((installDir + L"\\" + name + L".new").c_str());
        }
    };
    std::vector<Denied> denied;
    // The changes of a case: its values and keys, or its denials.
    auto seed = [&](const std::vector<std::string>& c, bool denials) {
        bool seeded = true;
        for (size_t i = 2; i < c.size(); ++i) {
            if ((c[i].rfind("deny|", 0) == 0) != denials) continue;
            seeded = ApplyChange(c[i], driverKey, denied) && seeded;
        }
        return seeded;
    };

    for (const std::vector<std::string>& c : cases) {
        const std::string& name = c[0];
        const std::string& action = c[1];
        DWORD started = GetTickCount();
        putBack();
        bool seeded = seed(c, false);
        KeyTree before = ReadTree(driverPath);
        seeded = seed(c, true) && seeded;

        std::wstring directory = action == "away" ? L"C:\\" : installDir;
        std::wstring commandLine = L"\"" + installDir + L"\\Cadenzo.exe\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION program{};
        std::vector<std::string> events;
        if (!seeded) events.push_back("(the case could not be seeded)");
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            directory.c_str(), &startup, &program)) {
            Fail("cannot start Cadenzo.exe");
        }
        std::vector<DWORD> debuggersBefore = ProcessesNamed(L"winedbg.exe");
        bool crashed = false, hung = false, windowSeen = false;
        // The steps of the action, each taken once the program waits for the user again.
        enum Step { Open, CloseList, Apply, Close, Done };
        bool listing = action.rfind("resolutions", 0) == 0;
        bool saveList = action == "resolutions-ok", listShown = false;
        Step step = listing ? Open : action == "ok" ? Apply : Close;
        int quiet = 0;
        DWORD limit = GetTickCount() + 40000;
        while (WaitForSingleObject(program.hProcess, 50) == WAIT_TIMEOUT) {
            for (DWORD debugger : ProcessesNamed(L"winedbg.exe")) {
                bool old = false;
                for (DWORD b : debuggersBefore)
                    old = old || b == debugger;
                if (old) continue;
                crashed = true;
                EndProcess(debugger);
            }
            if (crashed || GetTickCount() > limit) {
                hung = !crashed;
                EndProcess(program.dwProcessId);
                break;
            }
            ProcessWindows seen{program.dwProcessId, nullptr, nullptr, title};
            EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&seen));
            if (seen.box) {
                events.push_back(AnswerBox(seen.box));
                quiet = 0;
                continue;
            }
            if (seen.main && !windowSeen) {
                windowSeen = true;
                events.push_back("window");
            }
            if (step == CloseList) {
                ProcessWindows list{program.dwProcessId, nullptr, nullptr, dialog};
                EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&list));
                if (!list.main) {
                    if (listShown) step = Close;  // its OK saved and hid it
                    continue;
                }
                if (!listShown) events.push_back("list window");
                listShown = true;
                if (saveList) {
                    for (HWND child : ChildrenOf(list.main)) {
                        if (TextOf(child) == "OK") PostMessageA(child, BM_CLICK, 0, 0);
                    }
                    saveList = false;
                    Sleep(200);
                    continue;
                }
                PostMessageA(list.main, WM_SYSCOMMAND, SC_CLOSE, 0);
                step = Close;
                quiet = 0;
                continue;
            }
            quiet = WaitsForUser(seen) ? quiet + 1 : 0;
            if (quiet < 4 || step == Done) continue;  // idle for 200 ms before acting
            quiet = 0;
            try {
                if (step == Open) {
                    // The button the menu entry clicks, which lies beyond the window's edge: no
                    // hook into a program that may end any moment.
                    PostMessageA(FindChild(seen.main, "Resolution"), BM_CLICK, 0, 0);
                    step = CloseList;
                } else {
                    // Posted without waiting for an answer: the program may end at once. An OK
                    // that leaves the program running is followed by Cancel.
                    PostMessageA(FindChild(seen.main, step == Apply ? "OK" : "Cancel"), BM_CLICK, 0,
                                 0);
                    step = step == Apply ? Close : Done;
                }
            } catch (const Failure& failure) {
                events.push_back("(" + failure.message + ")");
                step = Done;
            }
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(program.hProcess, &exitCode);
        CloseHandle(program.hThread);
        CloseHandle(program.hProcess);
        GiveBack(denied);
        if (hung) events.push_back("hang: did not end in 40 s");
        // A crash ends the process with the exception's code, or brings up the debugger.
        crashed = crashed || (!hung && exitCode != 0);
        char ended[32];
        wsprintfA(ended, "exit %lu", exitCode);
        events.push_back(ended);

        // The driver key must be as before, or a backup this case took must hold it as before.
        std::string write = "no";
        if (!(ReadTree(driverPath) == before)) {
            write = "yes";
            std::wstring fresh = installDir + L"\\matrix-before.reg";
            std::vector<std::wstring> kept;
            for (const wchar_t* name : backups) {
                std::wstring path = installDir + L"\\" + name;
                std::wstring keep = installDir + L"\\matrix-" + name;
                if (MoveFileExW(path.c_str(), keep.c_str(), MOVEFILE_REPLACE_EXISTING))
                    kept.push_back(keep);
            }
            // The key as before, exported as the program's backup was: with the case's denials,
            // so that a subkey the program could neither read nor write is left out alike.
            putBack();
            seed(c, false);
            seed(c, true);
            DeleteFileW(fresh.c_str());
            RunToEnd(L"regedit.exe /e \"" + fresh + L"\" HKEY_LOCAL_MACHINE\\" + driverPath,
                     installDir);
            GiveBack(denied);
            for (const std::wstring& keep : kept) {
                if (!SameFile(keep, fresh)) continue;
                write = "backed up";
                events.push_back("key changed; " + Utf8(keep.substr(keep.rfind(L'-') + 1)) +
                                 " holds it as before");
            }
            for (const std::wstring& keep : kept)
                DeleteFileW(keep.c_str());
            DeleteFileW(fresh.c_str());
        }
        std::string outcome;
        for (const std::string& event : events)
            outcome += (outcome.empty() ? "" : " | ") + event;
        std::printf("case\t%s\t%s\t%s\t%s\t%.1f\n", name.c_str(), outcome.c_str(),
                    crashed || hung ? "yes" : "no", write == "yes" ? "yes" : "no",
                    (GetTickCount() - started) / 1000.0);
        std::fflush(stdout);
    }
    putBack();
    return 0;
}

struct Command {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    int (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"wait", 1, 2, Wait},
    {"close", 1, 2, Close},
    {"count", 1, 1, Count},
    {"controls", 1, 1, Controls},
    {"frame", 1, 1, Frame},
    {"menu", 1, 1, Menu},
    {"click", 2, 2, Click},
    {"menu-click", 2, 2, MenuClick},
    {"set-text", 3, 3, SetText},
    {"set-edit", 3, 3, SetEdit},
    {"click-line", 3, 3, ClickLineOnce},
    {"double-click-line", 3, 3, DoubleClickLine},
    {"answer", 2, 3, Answer},
    {"wait-dialog", 1, 2, WaitDialog},
    {"choose-file", 2, 3, ChooseFile},
    {"open-menu", 2, 3, OpenMenu},
    {"hover", 2, 2, Hover},
    {"glyphs", 2, 2, Glyphs},
    {"key", 2, 2, Key},
    {"wait-value", 3, 4, WaitValue},
    {"hold-lock", 1, 1, HoldLock},
    {"pick", 2, 2, Pick},
    {"hint", 2, 3, Hint},
    {"event-text", 3, 3, EventText},
    {"matrix", 3, 3, Matrix},
};

}  // namespace

// The wide entry point: the ANSI command line would lose what the code page lacks.
// The help viewer's stand-in notes how it was started.
bool StandsInForTheViewer() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, length);
    std::wstring::size_type slash = self.find_last_of(L"\\/");
    if (lstrcmpiW(self.substr(slash + 1).c_str(), L"hh.exe") != 0) return false;
    std::string line = Utf8(GetCommandLineW()) + "\r\n";
    HANDLE log = CreateFileW((self.substr(0, slash + 1) + L"viewer.log").c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return true;
}

int wmain(int argc, wchar_t** argv) {
    if (StandsInForTheViewer()) return 0;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    for (const Command& command : kCommands) {
        if (args.empty() || args[0] != command.name) continue;
        args.erase(args.begin());
        if (args.size() < command.minArgs || args.size() > command.maxArgs) break;
        int result = 1;
        try {
            result = command.run(args);
        } catch (const Failure& failure) {
            std::printf("%s\n", failure.message.c_str());
        }
        std::fflush(stdout);
        return result;
    }
    std::fprintf(stderr, "usage: see the head of tests/e2e/driver.cpp\n");
    return 2;
}
