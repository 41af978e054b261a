// The check after the restart across starts: one switched off during its count-down, one found
// unanswered, and what the next ordinary start says about it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "safety/Backups.h"
#include "safety/PendingChange.h"
#include "services/Settings.h"
#include "tests/unit/RestartingMachine.h"

namespace {

using demo::Machine;
using platform::Answer;

// A check switched off during its count-down starts again at the next logon; one that finds
// that earlier start unanswered undoes the change without a count-down, and the next ordinary
// start says so once, with the date of the change. OK answers it for good.
TEST(CheckStartsTest, AnUnansweredCheckUndoesTheChangeAtItsNextStartAndIsSaidOnce) {
    Machine m(false);
    // The fake display still offers the refused rates, which each start asks about: no.
    auto start = [&m] {
        m.win.boxes.shown.clear();
        m.win.boxes.answers.assign(3, Answer::No);
        return m.Start();
    };
    auto said = [&m](const std::string& text) {
        for (const auto& box : m.win.boxes.shown) {
            if (box.text.find(text) != std::string::npos) return true;
        }
        return false;
    };
    m.win.system.now = {2026, 11, 30, 8, 4, 0, 60};
    demo::KeyContents before = m.StartAndApply();
    m.win.system.now = {2026, 12, 1, 9, 0, 0, 60};
    start();
    ASSERT_NE(nullptr, m.CheckWindow());
    m.CheckWindow()->Timer1.Tick();  // the power goes off
    EXPECT_TRUE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_NE(before, m.Driver());

    start();
    ASSERT_NE(nullptr, m.CheckWindow());
    EXPECT_FALSE(m.CheckWindow()->Visible());  // no count-down to show
    EXPECT_EQ(before, m.Driver());
    EXPECT_FALSE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_FALSE(m.win.registry.Value(SettingsKey, "CheckStarts"));
    EXPECT_EQ(1u, m.win.system.exitWindowsCalls.size());
    std::vector<std::string> history = demo::HistoryLines(m.win);
    ASSERT_LE(2u, history.size());
    EXPECT_EQ("Check unanswered twice: the change is undone at once", history.end()[-2]);
    EXPECT_EQ("Change undone: lastknowngood.dat", history.back());
    EXPECT_EQ("W Change undone: lastknowngood.dat", demo::EventLogEntries(m.win).back());

    const std::string undone = "changed on 2026-11-30 08:04 were not confirmed";
    EXPECT_FALSE(said(undone));
    start();
    EXPECT_TRUE(said(undone));
    start();
    EXPECT_FALSE(said(undone));  // once

    // A check confirmed with OK, even in its second phase, is over: no entry, no count.
    m.Apply(*start());
    start();
    for (int second = 0; second <= CheckState::Seconds; ++second)
        m.CheckWindow()->Timer1.Tick();
    m.CheckWindow()->bOK.Click();
    EXPECT_FALSE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_FALSE(m.win.registry.Value(SettingsKey, "CheckStarts"));
    start();
    EXPECT_EQ(nullptr, m.CheckWindow());
}

// The user presses OK, answers the restart question "later", starts Cadenzo again before the
// restart and presses OK once more (and closes a third start with Cancel). That start's
// backup.dat and the second OK hold the unconfirmed rates: the undo after a restart into a dark
// screen must still bring back the driver key, and the display mode Windows starts with, from
// before the first OK.
TEST(CheckStartsTest, StartsAndOksBeforeTheRestartStillUndoToBeforeTheFirstOk) {
    Machine m(false);
    auto plainStart = [&m] {
        m.win.boxes.answers.assign(3, Answer::No);
        return m.StartWith("\"C:\\Cadenzo\\Cadenzo.exe\"");
    };
    auto stored = [&m] {
        platform::DisplayMode mode;
        m.win.display.EnumMode(demo::DeviceName, platform::EnumRegistrySettings, 0, &mode);
        return mode.frequency;
    };
    std::uint32_t modeBefore = stored();
    demo::KeyContents before = m.StartAndApply();
    std::string beforeFile = *m.win.files.ReadAll("C:\\Cadenzo\\lastknowngood.dat");
    m.Apply(*plainStart());
    EXPECT_EQ(beforeFile, *m.win.files.ReadAll("C:\\Cadenzo\\lastknowngood.dat"));
    EXPECT_THROW(plainStart()->Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(ChangeState::Pending, ReadChange(m.win.registry).state);
    // The watch says nothing of rates the user has just chosen.
    EXPECT_EQ(nullptr, m.Watch());

    // The restart comes up in a too-high rate that Windows stored meanwhile.
    auto& device = m.win.display.devices[0];
    device.stored = device.modes.size() - 1;
    m.StartWith(m.Logon());
    ASSERT_NE(nullptr, m.CheckWindow());
    try {
        m.LetCheckRunOut();
    } catch (const platform::ProcessEnded&) {
    }
    EXPECT_EQ(before, m.Driver());
    EXPECT_EQ(modeBefore, stored());
    EXPECT_FALSE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_EQ(ChangeState::Undone, ReadChange(m.win.registry).state);
}

}  // namespace
