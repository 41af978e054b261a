// The change history: its lines and their times, one write for each event, the Event Log's
// levels, the cut at the size limit, and a log that cannot be written.

#include <gtest/gtest.h>

#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Lines = std::vector<std::string>;

constexpr char kLog[] = "C:\\Cadenzo\\history.log";
constexpr char kNow[] = "2026-12-07T21:05:09+01:00 ";  // the fake's clock

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() { win.registry.SeedKey(SettingsKey); }
    std::string Log() { return win.files.Contents(kLog).value_or("(none)"); }
    std::string Unwritten() {
        std::string text;
        ReadRegString(win.registry, SettingsKey, HistoryUnwrittenValue, text);
        return text;
    }

    platform::FakeWindows win;
    platform::Platform os = win.Os();
};

TEST(HistoryTimeTest, LocalTimeWithItsOffsetFromUtc) {
    EXPECT_EQ("2026-12-08T14:03:27+01:00", HistoryTime({2026, 12, 8, 14, 3, 27, 60}));
    EXPECT_EQ("2027-01-01T00:00:00+00:00", HistoryTime({2027, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ("2026-03-09T23:59:59-09:30", HistoryTime({2026, 3, 9, 23, 59, 59, -570}));
}

TEST_F(HistoryTest, EachEventIsOneWriteOfAWholeUtf8LineAndAnEntryOfItsLevel) {
    RecordEvent(os, HistoryEvent::OkApplied, "1024x768 60 Hz -> 85 Hz");
    // A line end in the details would split the event: one line each, whatever they hold.
    RecordEvent(os, HistoryEvent::RestoreFailed, "backup.dat\r\ndid not\tgo in");
    // A byte of the ANSI code page beyond ASCII (1252's "é") is no UTF-8; a marked text is.
    RecordEvent(os, HistoryEvent::WatchLostRates, "C:\\Profil\xE9s");
    RecordEvent(os, HistoryEvent::ApplyCommand, "\uFEFFC:\\Профили");
    EXPECT_EQ(std::string(kNow) + "OK applied: 1024x768 60 Hz -> 85 Hz\r\n" + kNow +
                  "Restore failed: backup.dat  did not go in\r\n" + kNow +
                  "/WATCH found lost rates: C:\\Profil?s\r\n" + kNow + "/APPLY: C:\\Профили\r\n",
              Log());
    EXPECT_EQ(4u, win.files.appends.size());
    // The marked text goes to the Event Log marked, to be shown as UTF-8.
    EXPECT_EQ((Lines{"I OK applied: 1024x768 60 Hz -> 85 Hz",
                     "E Restore failed: backup.dat  did not go in",
                     "W /WATCH found lost rates: C:\\Profil?s", "I \uFEFF/APPLY: C:\\Профили"}),
              demo::EventLogEntries(win));
}

TEST_F(HistoryTest, PastItsLimitTheLogKeepsItsNewerHalfInWholeLines) {
    const std::string armed = std::string(kNow) + "Check armed\r\n";
    // Numbered lines of 100 bytes, the first longer, up to exactly one line short of the limit.
    std::string log;
    for (int n = 0; log.size() + 100 <= HistoryLimit - armed.size(); ++n) {
        std::string line = "line " + std::to_string(n) + " ";
        log += line + std::string(98 - line.size(), '.') + "\r\n";
    }
    log.insert(0, HistoryLimit - armed.size() - log.size(), '.');
    win.files.Put(kLog, log);
    RecordEvent(os, HistoryEvent::CheckArmed);
    EXPECT_EQ(log + armed, Log());  // the limit itself is allowed

    RecordEvent(os, HistoryEvent::CheckArmed);
    std::string cut = Log();
    std::string kept = cut.substr(0, cut.size() - armed.size());
    EXPECT_EQ(armed, cut.substr(kept.size()));
    EXPECT_EQ(0u, kept.find("line "));  // a whole line first
    EXPECT_EQ(log + armed, log.substr(0, log.size() + armed.size() - kept.size()) + kept);
    EXPECT_LE(kept.size(), HistoryLimit / 2);
    EXPECT_GT(kept.size(), HistoryLimit / 2 - 100);  // as many lines as fit in half

    // A log that cannot be cut stays whole; the event is missed, not added past the limit.
    win.files.Put(kLog, log + armed);
    win.files.DenyReplace(kLog);
    RecordEvent(os, HistoryEvent::Uninstall);
    EXPECT_EQ(log + armed, Log());
    EXPECT_FALSE(win.files.Exists(std::string(kLog) + ".new"));
    EXPECT_EQ(std::string(kNow) + "Uninstall", Unwritten());
}

TEST_F(HistoryTest, ALogThatCannotBeWrittenStopsNothingIsNotedAndTheNextLineSaysSo) {
    // The install directory is gone: the log has nowhere to go.
    win.registry.SeedString(SettingsKey, InstallDirValue, "C:\\Gone");
    RecordEvent(os, HistoryEvent::RestoreRegistry, "lastknowngood.dat");
    EXPECT_EQ(Lines{"I Restore Registry: lastknowngood.dat"}, demo::EventLogEntries(win));
    EXPECT_EQ("2026-12-07T21:05:09+01:00 Restore Registry", Unwritten());
    EXPECT_EQ("2026-12-07T21:05:09+01:00 Restore Registry", ReadHistory(os, 50).unwritten);

    // Back again, the log tells of the gap in the same write as the next event.
    win.files.AddDirectory("C:\\Gone");
    win.system.now.minute = 7;
    RecordEvent(os, HistoryEvent::CheckArmed);
    EXPECT_EQ((Lines{"History: this log could not be written for a while (the Windows Event Log "
                     "has every event); the latest event it missed: 2026-12-07T21:05:09+01:00 "
                     "Restore Registry",
                     "Check armed"}),
              demo::HistoryLines(win, "C:\\Gone"));
    EXPECT_EQ(1u, win.files.appends.size());
    EXPECT_EQ("", Unwritten());
}

}  // namespace
