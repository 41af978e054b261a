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

class LateForm : public ui::Form {
public:
    explicit LateForm(ui::Application& app) : Form(app, "ContractLate") {
        SetPlace({0, 0, 200, 120});
        gbLater.SetPlace({0, 0, 200, 120});
        gbLater.SetVisible(false);
        cbRate.SetPlace({10, 20, 60, 21});
        cbRate.SetItems({"60", "72", "75"});
        eName.SetPlace({10, 50, 80, 21});
    }
    ui::GroupBox gbLater{this, "gbLater"};
    ui::ComboBox cbRate{&gbLater, "cbRate"};
    ui::Edit eName{&gbLater, "eName"};
};

// Controls in a group that does not show have no windows yet: they read back what the program
// put there, and the windows made when the group shows hold what was set meanwhile.
TEST(Win32Ui, AControlShownLaterHoldsWhatWasSetBeforeItsWindowWasMade) {
    platform::Win32MessageBoxes boxes;
    ui::Win32Ui windows;
    ui::Application app(boxes, &windows);
    LateForm form(app);
    form.Show();
    HWND window = FindWindowW(L"TContractLate", nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), nullptr);

    form.cbRate.SetItemIndex(1);
    form.cbRate.SetText("72");
    form.eName.SetText("typed");
    EXPECT_EQ(form.cbRate.ItemIndex(), 1);
    EXPECT_EQ(form.cbRate.Text(), "72");
    EXPECT_EQ(form.eName.Text(), "typed");

    form.gbLater.SetVisible(true);
    HWND combo = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(IsWindowVisible(combo));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(form.cbRate.Text(), "72");
    EXPECT_EQ(form.eName.Text(), "typed");

    // Now their windows are read, and the frame made late lies beneath what it frames.
    HWND edit = FindWindowExW(window, nullptr, L"EDIT", nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"changed");
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(form.eName.Text(), "changed");
    EXPECT_EQ(form.cbRate.ItemIndex(), 2);
    HWND frame = FindWindowExW(window, nullptr, L"BUTTON", nullptr);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindow(frame, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(combo, GW_HWNDNEXT), edit);
}

}  // namespace
