// The control layer's Win32 backend with real windows and its message loop. Windows only.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32MessageBoxes.h"
#include "ui/Form.h"
#include "ui/win32/Win32Ui.h"

namespace {

class DoomedForm : public ui::Form {
public:
    explicit DoomedForm(ui::Application& app) : Form(app, "ContractDoomed") {
        SetPlace({0, 0, 200, 100});
        bDelete.SetCaption("Delete");
        bDelete.SetPlace({10, 10, 80, 25});
        Timer1.SetInterval(10);
        Timer1.OnTimer = [] {};
    }
    ui::Button bDelete{this, "bDelete"};
    ui::Timer Timer1{*this};
};

// Ends a message loop that would otherwise never end.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

// A form deleted by one of its own handlers: its window object outlives the handler, the
// window itself is gone, and the loop serves the other forms on.
TEST(Win32Ui, AFormDeletedByItsOwnHandlerGoesAndTheLoopGoesOn) {
    platform::Win32MessageBoxes boxes;
    ui::Win32Ui windows;
    ui::Application app(boxes, &windows);
    auto* doomed = new DoomedForm(app);
    doomed->Show();
    HWND window = FindWindowW(L"TContractDoomed", nullptr);
    HWND button = FindWindowExW(window, nullptr, L"BUTTON", L"Delete");
    ASSERT_NE(button, nullptr);
    int deleted = 0;
    doomed->bDelete.OnClick = [&] {
        delete doomed;
        doomed = nullptr;
        ++deleted;
    };

    ui::Form survivor(app, "ContractSurvivor");
    ui::Timer ticker(survivor);
    int ticks = 0;
    ticker.SetInterval(10);
    ticker.OnTimer = [&] {
        if (deleted && ++ticks == 3) app.Quit();
    };
    survivor.Show();

    PostMessageW(button, BM_CLICK, 0, 0);
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, GiveUp);
    app.RunLoop();
    KillTimer(nullptr, guard);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
