// The headless controls behave like the real ones: check boxes fire on changes from code,
// the user's click never produces the grayed state, and every handler runs inside the error
// boundary.

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fake/FakeWindows.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    ui::Application app{win.boxes};
    ui::Form form{app, "Form"};
    void SetUp() override { app.SetTitle("Cadenzo"); }
};

TEST_F(ControlsTest, CheckBoxFiresOnChangeFromCodeAndCyclesWithoutGrayOnClicks) {
    ui::CheckBox box(&form, "cbDDC2");
    std::vector<ui::CheckState> seen;
    box.OnClick = [&] { seen.push_back(box.State()); };
    box.SetState(ui::CheckState::Grayed);
    box.SetState(ui::CheckState::Grayed);  // no change, no click
    box.UserClick();
    box.UserClick();
    box.UserClick();
    EXPECT_EQ((std::vector<ui::CheckState>{ui::CheckState::Grayed, ui::CheckState::Checked,
                                           ui::CheckState::Unchecked, ui::CheckState::Checked}),
              seen);
    box.SetEnabled(false);
    box.UserClick();
    EXPECT_EQ(4u, seen.size());
}

TEST_F(ControlsTest, AnErrorInAnyHandlerIsShownAndTheProgramGoesOn) {
    ui::Button button(&form, "OK");
    ui::CheckBox box(&form, "cb");
    ui::Timer timer(form);
    int after = 0;
    button.OnClick = [] {
        throw std::runtime_error("Failed to set data for 'DALRestrictedModesBCD'");
    };
    box.OnClick = [] { throw std::runtime_error("from a check box"); };
    timer.OnTimer = [] { throw std::runtime_error("from the timer"); };
    form.OnPaint = [] { throw std::runtime_error("from painting"); };
    auto& entry = form.Menu().Add("mProgram", "Program").Add("mRestore", "Restore Registry");
    entry.OnClick = [] { throw std::runtime_error("from the menu"); };
    button.Click();
    box.UserClick();
    timer.Tick();
    form.Paint();
    entry.Click();
    form.Run([&] { ++after; });
    ASSERT_EQ(5u, win.boxes.shown.size());
    EXPECT_EQ("Failed to set data for 'DALRestrictedModesBCD'", win.boxes.shown[0].text);
    EXPECT_EQ("Cadenzo", win.boxes.shown[0].caption);
    EXPECT_EQ(platform::Icon::Error, win.boxes.shown[0].icon);
    EXPECT_EQ("from a check box", win.boxes.shown[1].text);
    EXPECT_EQ("from the timer", win.boxes.shown[2].text);
    EXPECT_EQ("from painting", win.boxes.shown[3].text);
    EXPECT_EQ("from the menu", win.boxes.shown[4].text);
    EXPECT_TRUE(box.Checked());  // the click itself happened
    EXPECT_EQ(1, after);
}

TEST_F(ControlsTest, EndingTheProcessIsNotAnError) {
    ui::Button button(&form, "Cancel");
    button.OnClick = [&] { win.system.ExitProcess(0); };
    EXPECT_THROW(button.Click(), platform::ProcessEnded);
    EXPECT_TRUE(win.boxes.shown.empty());
}

TEST_F(ControlsTest, DisabledButtonsAndTimersDoNothing) {
    ui::Button button(&form, "sbUp");
    ui::Timer timer(form);
    int clicks = 0, ticks = 0;
    button.OnClick = [&] { ++clicks; };
    timer.OnTimer = [&] { ++ticks; };
    button.SetEnabled(false);
    timer.SetEnabled(false);
    button.Click();
    timer.Tick();
    EXPECT_EQ(0, clicks + ticks);
}

TEST_F(ControlsTest, PlacesAndVisibilityFollowTheGroups) {
    ui::GroupBox group(&form, "gbDebug");
    ui::Label label(&group, "lbClassID");
    group.SetPlace({0, 424, 241, 49});
    label.SetPlace({56, 16, 180, 13});
    EXPECT_FALSE(label.Showing());       // the form does not show yet
    EXPECT_TRUE(label.ShowingInForm());  // but the label will, with it
    form.SetVisible(true);
    EXPECT_EQ((ui::Rect{56, 440, 180, 13}), label.PlaceInForm());
    EXPECT_TRUE(label.Showing());
    group.SetVisible(false);
    EXPECT_FALSE(label.Showing());
    EXPECT_FALSE(label.ShowingInForm());
    EXPECT_TRUE(label.Visible());  // hidden with its group, yet keeps its own state
    EXPECT_TRUE(form.ShowingInForm());
    form.SetVisible(false);
    EXPECT_FALSE(form.Showing());
}

TEST_F(ControlsTest, ComboBoxHoldsTypedTextApartFromItsItems) {
    ui::ComboBox combo(&form, "ComboBox1");
    combo.SetItems({"60", "75"});
    combo.SetText("100");
    EXPECT_EQ("100", combo.Text());
    combo.SetItemIndex(5);
    EXPECT_EQ(-1, combo.ItemIndex());
    combo.Clear();
    EXPECT_EQ("", combo.Text());
    EXPECT_TRUE(combo.Items().empty());
}

// A window behind a control, as a backend attaches one.
struct RecordingPeer : ui::Peer {
    bool destroyed = false;
    std::vector<ui::Aspect> updates;
    // What its window holds; nothing while it has none.
    std::optional<std::string> typed;
    std::optional<int> picked;
    void Update(ui::Aspect aspect) override { updates.push_back(aspect); }
    std::optional<std::string> ReadText() override { return typed; }
    std::optional<int> ReadItemIndex() override { return picked; }
    void ControlDestroyed() override { destroyed = true; }
};

// A field reads what its window holds, and what the program set while it has none; the last
// text read is what a window made later shows.
TEST_F(ControlsTest, FieldsReadTheirWindowOrWhatWasSetWithoutOne) {
    RecordingPeer comboWindow, editWindow;
    ui::ComboBox combo(&form, "cbRate");
    ui::Edit edit(&form, "eWidth");
    combo.AttachPeer(&comboWindow);
    edit.AttachPeer(&editWindow);
    combo.SetItems({"60", "75"});
    combo.SetItemIndex(1);
    combo.SetText("75");
    edit.SetText("1024");
    EXPECT_EQ(1, combo.ItemIndex());
    EXPECT_EQ("75", combo.Text());
    EXPECT_EQ("1024", edit.Text());
    EXPECT_EQ(std::vector<ui::Aspect>({ui::Aspect::Items, ui::Aspect::ItemIndex, ui::Aspect::Text}),
              comboWindow.updates);
    EXPECT_EQ(std::vector<ui::Aspect>{ui::Aspect::Text}, editWindow.updates);

    comboWindow.typed = "100";
    comboWindow.picked = -1;
    editWindow.typed = "800";
    EXPECT_EQ(-1, combo.ItemIndex());
    EXPECT_EQ("100", combo.Text());
    EXPECT_EQ("800", edit.Text());
    EXPECT_EQ("100", combo.StoredText());
    EXPECT_EQ("800", edit.StoredText());
    EXPECT_EQ(1, combo.StoredItemIndex());  // a pick is the user's, reported as it happens
}

TEST_F(ControlsTest, AHandlerMayDestroyItsOwnControlAndTheWindowLetsGo) {
    RecordingPeer window;
    auto* button = new ui::Button(&form, "bAdapter");
    button->AttachPeer(&window);
    int after = 0;
    button->OnClick = [&button, &after] {
        delete button;
        button = nullptr;
        ++after;  // the handler still runs, though the control that held it is gone
    };
    button->Click();
    EXPECT_EQ(1, after);
    EXPECT_TRUE(window.destroyed);
    EXPECT_TRUE(form.Children().empty());
}

// The form's window keeps pointers to its timers and menu entries: each may go away in its own
// handler, a timer that goes tells the window, and one that outlives its form does nothing.
TEST_F(ControlsTest, TimersAndMenuEntriesMayGoAwayWhileTheFormLives) {
    RecordingPeer window;
    form.AttachPeer(&window);
    int after = 0;
    auto* timer = new ui::Timer(form);
    timer->OnTimer = [&timer, &after] {
        delete timer;
        timer = nullptr;
        ++after;
    };
    window.updates.clear();
    timer->Tick();
    EXPECT_EQ(std::vector<ui::Aspect>{ui::Aspect::Timers}, window.updates);
    EXPECT_TRUE(form.Timers().empty());

    auto& program = form.Menu().Add("mProgram", "Program");
    program.Add("mExit", "Exit").OnClick = [&program, &after] {
        program.Items().clear();
        ++after;
    };
    program.Items().front()->Click();
    EXPECT_EQ(2, after);
    form.AttachPeer(nullptr);

    auto other = std::make_unique<ui::Form>(app, "Form5");
    auto orphan = std::make_unique<ui::Timer>(*other);
    orphan->OnTimer = [&after] { ++after; };
    other.reset();
    orphan->SetInterval(500);
    orphan->Tick();
    EXPECT_EQ(2, after);
}

}  // namespace
