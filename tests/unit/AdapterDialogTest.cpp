// The adapter dialog, opened from the main window's menu: the device numbers it lists, what OK
// stores and what it refuses.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "adapters/TForm4.h"
#include "app/Program.h"
#include "app/TForm1.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

// The adapter dialog, opened through the menu as a person does.
class AdapterDialogTest : public demo::ProgramTest {
protected:
    static constexpr char kSecondKey[] =
        "System\\CurrentControlSet\\Control\\Video\\{7B2D5F10-2E3A-4C4B-8D8F-2E3F40516171}\\0000";
    void SetUp() override {
        app.SetTitle("Cadenzo");
        // Device 1 is no adapter (no state flags); device 2 is a second card.
        win.display.AddDevice("\\\\.\\DISPLAY2", "", 0, "");
        win.display.AddDevice("\\\\.\\DISPLAY3", "RADEON 7000",
                              platform::DisplayDeviceAttachedToDesktop,
                              std::string("\\Registry\\Machine\\") + kSecondKey);
        win.registry.SeedKey(kSecondKey);
        // Device 3's key is not one of the machine's.
        win.display.AddDevice("\\\\.\\DISPLAY4", "Mirror", platform::DisplayDeviceAttachedToDesktop,
                              "\\Registry\\User\\Video\\0000");
        program.CreateMainWindow().Paint();
    }
    TForm4& Open() {
        program.Form1().FindMenuItem("Adapter1")->Click();
        return static_cast<TForm4&>(*program.Dialogs().back());
    }
    std::optional<std::uint32_t> Dword(const std::string& key, const char* name) {
        auto v = win.registry.Value(key, name);
        if (!v) return std::nullopt;
        return v->data[0] | v->data[1] << 8;
    }
};

TEST_F(AdapterDialogTest, ListsEveryDeviceNumberAndPresetsTheBoxesAsStored) {
    win.registry.SeedDword(demo::DriverKey, "PruningMode", 2);
    TForm4& dialog = Open();
    EXPECT_EQ("Select Adapter", dialog.Caption());
    EXPECT_EQ((ui::Rect{0, 0, 306, 190}), dialog.Place());
    EXPECT_TRUE(dialog.StayOnTop());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ((std::vector<std::string>{"RADEON 9700 PRO", "", "RADEON 7000", "Mirror"}),
              dialog.lbAdapters.Items());
    EXPECT_EQ(-1, dialog.lbAdapters.ItemIndex());
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());  // opening, only 0 checks it
    EXPECT_FALSE(dialog.cbAllways.Checked());   // as stored: nothing
    EXPECT_FALSE(dialog.cbAllways.Visible());
    dialog.lbAdapters.UserPicked(0);
    EXPECT_TRUE(dialog.cbIgnoreMC.Checked());  // a click: anything but 1 checks it
    dialog.lbAdapters.UserPicked(2);
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());  // no value there

    win.registry.SeedDword(demo::DriverKey, "PruningMode", 0);
    win.registry.SeedDword(SettingsKey, "Allways", 1);
    TForm4& again = Open();  // a new dialog each time
    EXPECT_NE(&dialog, &again);
    EXPECT_TRUE(again.cbIgnoreMC.Checked());
    EXPECT_TRUE(again.cbAllways.Checked());
}

TEST_F(AdapterDialogTest, OkStoresTheChoiceAndOpensANewMainWindowCancelStoresNothing) {
    TForm1& first = program.Form1();
    TForm4& cancelled = Open();
    cancelled.cbIgnoreMC.UserClick();
    cancelled.bExit.Click();
    EXPECT_FALSE(cancelled.Visible());
    EXPECT_FALSE(Dword(demo::DriverKey, "PruningMode"));
    EXPECT_EQ(&first, &program.Form1());

    std::size_t exports = regedit.exported.size();
    TForm4& dialog = Open();
    dialog.cbIgnoreMC.UserClick();
    dialog.bOK.Click();  // nothing selected: adapter 0
    EXPECT_EQ(0u, Dword(SettingsKey, "AdapterNum"));
    EXPECT_EQ(0u, Dword(demo::DriverKey, "PruningMode"));
    EXPECT_EQ(0u, Dword(SettingsKey, "Allways"));
    EXPECT_FALSE(dialog.Visible());
    ASSERT_NE(&first, &program.Form1());
    EXPECT_TRUE(program.Form1().Visible());
    EXPECT_EQ(platform::EdsRawMode, program.ModeEnumFlags);  // the new window read it
    EXPECT_EQ(exports, regedit.exported.size());             // no first-paint actions again

    TForm4& second = Open();
    second.lbAdapters.UserPicked(2);
    second.bOK.Click();
    EXPECT_EQ(2u, Dword(SettingsKey, "AdapterNum"));
    EXPECT_EQ(1u, Dword(kSecondKey, "PruningMode"));
    EXPECT_EQ(demo::DriverKey, program.adapter.DriverKey);  // the program stays on adapter 0
}

TEST_F(AdapterDialogTest, ADeviceNumberWithoutAnAdapterStoresNothing) {
    TForm1& first = program.Form1();
    TForm4& dialog = Open();
    dialog.lbAdapters.UserPicked(1);
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());
    dialog.bOK.Click();
    EXPECT_EQ(
        "Display device 1 has no driver key that Cadenzo can use, so nothing was stored. Choose "
        "another adapter.",
        win.boxes.shown.back().text);
    EXPECT_FALSE(win.registry.Value(SettingsKey, "AdapterNum"));
    EXPECT_TRUE(win.registry.ValueNames("").empty());  // nothing at the root of the machine
    EXPECT_TRUE(dialog.Visible());                     // the choice stays open
    EXPECT_EQ(&first, &program.Form1());
    dialog.lbAdapters.UserPicked(3);  // an adapter whose key lies outside the machine's keys
    dialog.bOK.Click();
    EXPECT_EQ(0u, win.boxes.shown.back().text.find("Display device 3 has no driver key"));
    EXPECT_FALSE(win.registry.Value(SettingsKey, "AdapterNum"));
}

// A main window opened before the adapter dialog read the modes again (here the raw ones too,
// which add 1280x960 before 1280x1024) shows rows of a table that is gone: its OK writes
// nothing, says so and closes the window; the newest window's OK still applies its own rows.
TEST_F(AdapterDialogTest, AnOlderWindowsOkAfterTheTableWasRebuiltWritesNothing) {
    win.display.devices[0].rawModes = {platform::MakeMode(1280, 960, 32, 60),
                                       platform::MakeMode(1280, 960, 32, 75)};
    demo::SeedDriverProfile(win);
    TForm1& first = program.Form1();
    TForm4& dialog = Open();
    dialog.cbIgnoreMC.UserClick();
    dialog.bOK.Click();
    TForm1& newest = program.Form1();
    ASSERT_NE(&first, &newest);
    ASSERT_EQ("1280x960", newest.Rows[3]->l.Caption());
    ASSERT_EQ("1280x1024", first.Rows[3]->l.Caption());

    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    std::size_t exports = regedit.exported.size();
    win.boxes.shown.clear();
    first.Rows[3]->ComboBox.SetText("85");
    first.OK.Click();  // the program goes on
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(0u, win.boxes.shown[0].text.find("A newer Cadenzo window has read the display modes "
                                               "again"));
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(newest.Visible());
    EXPECT_EQ(&newest, app.MainForm());  // closing it ends the program now
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
    EXPECT_EQ(exports, regedit.exported.size());
    EXPECT_EQ(60, program.ModeTable[3].Selected);  // 1280x960 kept its rate

    newest.Rows[4]->ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};  // no restart now
    EXPECT_THROW(newest.OK.Click(), platform::ProcessEnded);
    EXPECT_EQ(60, program.ModeTable[3].Selected);
    EXPECT_EQ(85, program.ModeTable[4].Selected);
}

}  // namespace
