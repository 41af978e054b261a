// What the program's windows do while it waits for an answer in a message box or for a program
// it started, against the real window manager. Windows only: the fake has no windows.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32Shell.h"

namespace {

// Not a test: the program the wait waits for. It ends once the test sets the event.
constexpr char kToldEvent[] = "CadenzoContractWaitingTold";
constexpr UINT kCommand = WM_APP + 1;  // stands for a posted command or a timer's tick

TEST(WaitedProgram, DISABLED_EndsWhenTold) {
    HANDLE told = OpenEventA(SYNCHRONIZE, FALSE, kToldEvent);
    ASSERT_NE(told, nullptr);
    WaitForSingleObject(told, 60000);
    CloseHandle(told);
}

// What reached a test window, counted by its window procedure on the test's thread and read by
// the helper thread.
std::atomic<int> paints{0};
std::atomic<int> commands{0};
std::atomic<int> clicks{0};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            ++paints;
            return 0;
        }
        case kCommand:
            ++commands;
            return 0;
        case WM_LBUTTONDOWN:
            ++clicks;
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// Two top-level windows of the program, the second one staying on top as the check window does;
// the first is the active one.
class Waiting : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CadenzoWaitingTest";
        RegisterClassW(&wc);
        main = Open(0, L"Main", 100);
        check = Open(WS_EX_TOPMOST, L"Check", 400);
        SetActiveWindow(main);
        ASSERT_EQ(GetActiveWindow(), main);
        paints = commands = clicks = 0;
    }
    void TearDown() override {
        DestroyWindow(main);
        DestroyWindow(check);
    }

    static HWND Open(DWORD exStyle, const wchar_t* title, int left) {
        HWND window = CreateWindowExW(exStyle, L"CadenzoWaitingTest", title,
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, 100, 240, 160,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(window);
        return window;
    }
    // Whether both windows are disabled within a few seconds.
    bool BothDisabledSoon() const {
        for (int tries = 0; tries < 100; ++tries) {
            if (!IsWindowEnabled(main) && !IsWindowEnabled(check)) return true;
            Sleep(50);
        }
        return false;
    }
    static void HandlePending() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    HWND main = nullptr;
    HWND check = nullptr;
};

// Wine leaves out MB_TOPMOST, so whether the box stays on top is not asked here.
TEST_F(Waiting, AMessageBoxBlocksEveryWindowOfTheProgram) {
    const std::string caption = "Cadenzo contract waiting";
    bool blocked = false;
    std::thread helper([&] {
        for (int tries = 0; tries < 200; ++tries) {
            HWND box = FindWindowA("#32770", caption.c_str());
            if (!box) {
                Sleep(50);
                continue;
            }
            blocked = BothDisabledSoon();
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
            return;
        }
    });
    platform::Win32MessageBoxes boxes;
    boxes.Show("Restart Windows now?", caption, platform::Buttons::Ok, platform::Icon::None);
    helper.join();

    EXPECT_TRUE(blocked) << "the stay-on-top window could be used while the box was open";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(check));
}

// Meanwhile the windows take no input but are repainted and answer messages sent to them; a
// posted command waits for the message loop, and a click made meanwhile is dropped.
TEST_F(Waiting, ForAProgramTheWindowsArePaintedButTakeNoInput) {
    HANDLE told = CreateEventA(nullptr, TRUE, FALSE, kToldEvent);
    ASSERT_NE(told, nullptr);
    bool blocked = false;
    bool answered = false;
    bool painted = false;
    int commandsMeanwhile = -1;
    std::thread helper([&] {
        blocked = BothDisabledSoon();
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        int before = paints;
        InvalidateRect(main, nullptr, TRUE);
        for (int tries = 0; tries < 100 && !painted; ++tries) {
            Sleep(50);
            painted = paints > before;
        }
        PostMessageW(main, kCommand, 0, 0);
        PostMessageW(main, WM_LBUTTONDOWN, 0, 0);
        Sleep(200);
        commandsMeanwhile = commands;
        SetEvent(told);
    });
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    platform::Win32Shell shell;
    platform::LaunchResult result = shell.ExecuteAndWait(
        {self, "--gtest_filter=WaitedProgram.DISABLED_EndsWhenTold --gtest_also_run_disabled_tests",
         "", platform::ShowHide},
        30000);
    helper.join();
    CloseHandle(told);

    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(blocked) << "the windows took input during the wait";
    EXPECT_TRUE(answered) << "a message sent during the wait was not answered";
    EXPECT_TRUE(painted) << "the window was not repainted during the wait";
    EXPECT_EQ(commandsMeanwhile, 0);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(check));
    HandlePending();
    EXPECT_EQ(commands, 1);
    EXPECT_EQ(clicks, 0);
}

// A pause while an export is awaited (written by a process the program cannot wait for) keeps
// the windows as a wait for a program does, for the whole time asked.
TEST_F(Waiting, APauseLastsItsTimeWithTheWindowsPaintedButTakingNoInput) {
    bool blocked = false;
    bool painted = false;
    std::thread helper([&] {
        blocked = BothDisabledSoon();
        int before = paints;
        InvalidateRect(main, nullptr, TRUE);
        for (int tries = 0; tries < 20 && !painted; ++tries) {
            Sleep(50);
            painted = paints > before;
        }
    });
    platform::Win32Shell shell;
    DWORD start = GetTickCount();
    shell.Pause(2000);
    DWORD elapsed = GetTickCount() - start;
    helper.join();

    EXPECT_GE(elapsed + 20, 2000u);  // the tick count moves in steps of up to 16 ms
    EXPECT_TRUE(blocked) << "the windows took input during the pause";
    EXPECT_TRUE(painted) << "the window was not repainted during the pause";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(check));
}

}  // namespace
