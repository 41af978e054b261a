// The machine stopped (a power cut, the program killed) right after each single registry write
// of OK, of the first run, of Uninstall, and of the check after the restart from its start to
// its fall-back's end, where each tick of the count-down and each switch of the display mode
// is a stop point too. Each time, importing the
// backup taken before the action brings the driver key back byte for byte, and the next start
// offers what the user needs to recover. The test prints how many crash points it tried and
// how many recovered.

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "app/Program.h"
#include "app/TForm1.h"
#include "keep/AppliedRecord.h"
#include "keep/Watch.h"
#include "modes/ApplySettings.h"
#include "safety/Backups.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "services/WriterLock.h"
#include "tests/unit/DemoMachine.h"

namespace {

using platform::Answer;

// A machine that lives through stops and restarts, with the program run on it anew each time.
class Machine {
public:
    explicit Machine(bool addNativeModes) {
        demo::SeedAdapter(win);
        demo::SeedDriverProfile(win, addNativeModes);
        win.display.beforeChange = [this] { win.registry.Step(); };
    }

    // Windows starts the program: at a logon the RunOnce entry goes first, and runs once. The
    // main window, or nothing when the program ended in its first paint (a first run).
    TForm1* Start() { return StartWith(Logon()); }
    // What Windows does at a logon before it starts anything: it takes the RunOnce entry away.
    // The command line to start the program with.
    std::string Logon() {
        std::string command = "\"C:\\Cadenzo\\Cadenzo.exe\"";
        auto armed = win.registry.Value(RunOnceKey, RunOnceValue);
        if (armed) {
            command.assign(armed->data.begin(), armed->data.end());
            command.resize(command.find('\0'));
            platform::RegKey key = 0;
            win.registry.OpenKey(RunOnceKey, platform::KeySetValue, false, &key);
            win.registry.DeleteValue(key, RunOnceValue);
            win.registry.CloseKey(key);
        }
        return command;
    }
    TForm1* StartWith(const std::string& command) {
        win.system.commandLine = command;
        run_.reset();
        run_ = std::make_unique<Run>(win);
        try {
            TForm1& form = run_->program.CreateMainWindow();
            form.Paint();
            return &form;
        } catch (const platform::ProcessEnded&) {
            return nullptr;
        }
    }
    TForm5* CheckWindow() { return run_ ? run_->program.CheckWindow() : nullptr; }
    // The watch at logon; its window, or none when it found nothing to say.
    TWatch* Watch() {
        win.system.commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\" /WATCH";
        run_.reset();
        run_ = std::make_unique<Run>(win);
        exitCode = run_->program.WatchFromCommandLine();
        return run_->program.WatchWindow();
    }
    // A driver update: the driver's own values again, and a newer version.
    void UpdateDriver() {
        demo::SeedDriverProfile(win);
        win.registry.SeedString(demo::DriverKey, "DriverVersion", "6.14.10.6558");
        win.registry.SeedString(demo::DriverKey, "DriverDate", "9-7-2005");
    }
    // 85 Hz at 1024x768 applied, the restart declined, then the check after it confirmed.
    demo::KeyContents ApplyConfirmed() {
        StartAndApply();
        StartWith(Logon());
        CheckWindow()->bOK.Click();
        return Driver();
    }
    demo::KeyContents StartAndApply() {
        TForm1* started = Start();
        demo::KeyContents before = Driver();
        Apply(*started);
        return before;
    }

    // Lets the check window's two counts run out: the fall-back to the lowest rate, then to
    // backup.dat and the restart.
    void LetCheckRunOut() {
        for (int second = 0; second < 2 * 15 + 1; ++second) {
            win.registry.Step();
            CheckWindow()->Timer1.Tick();
        }
    }
    // Picks 85 Hz for 1024x768 and presses OK, declining the restart.
    void Apply(TForm1& form) {
        for (auto& row : form.Rows) {
            if (row->l.Caption() == "1024x768") row->ComboBox.SetText("85");
        }
        win.boxes.answers = {Answer::No};
        try {
            form.OK.Click();
        } catch (const platform::ProcessEnded&) {
            return;
        }
        ADD_FAILURE() << "OK did not end the program";
    }
    void Uninstall(TForm1& form) {
        win.boxes.answers = {Answer::Yes};
        form.FindMenuItem("Uninstall1")->OnClick();
    }
    // The user double-clicks the backup in Explorer. False when there is no such file.
    bool ImportByHand(const std::string& file) {
        platform::Platform os = win.Os();
        return ImportBackup(os, file);
    }
    demo::KeyContents Driver() const { return demo::DriverKeyContents(win.registry); }
    bool Exported(const std::string& file) const {
        return !regedit.exported.empty() && regedit.exported.back().find(file) != std::string::npos;
    }

    platform::FakeWindows win;
    platform::FakeRegedit regedit{win};
    TForm1* form = nullptr;      // the window the action works in
    std::uint32_t exitCode = 0;  // of the last watch
    std::string command;         // the command line the action starts the program with

private:
    struct Run {
        explicit Run(platform::FakeWindows& win) : os(win.Os()), app(win.boxes) {}
        platform::Platform os;
        ui::Application app;
        Program program{os, app};
    };
    std::unique_ptr<Run> run_;
};

// One action whose writes are stopped one by one.
struct Scenario {
    const char* name;
    bool addNativeModes;  // the driver's rule is set, as before any first run
    // Brings the machine to the action; the driver key that the backup must bring back.
    std::function<demo::KeyContents(Machine&)> prepare;
    std::function<void(Machine&)> action;
    const char* backup;  // taken before the action
    // After the stop: whether the next start offers what the user needs, and following it
    // ends with the driver key as `before`.
    std::function<bool(Machine&, const demo::KeyContents& before)> recovers;
};

// Prepares `scenario` on `m` and runs its action, stopped after write `stopAfter` (0: never).
// The number of writes the action made.
std::size_t RunStopped(const Scenario& scenario, Machine& m, std::size_t stopAfter,
                       demo::KeyContents& before) {
    before = scenario.prepare(m);
    m.win.registry.StopAfterWrite(stopAfter);
    bool stopped = false;
    try {
        scenario.action(m);
    } catch (const platform::MachineStopped&) {
        stopped = true;
    } catch (const platform::ProcessEnded&) {
    }
    EXPECT_EQ(stopAfter != 0, stopped);
    std::size_t writes = m.win.registry.Writes();
    m.win.registry.StopAfterWrite(0);
    m.win.boxes.answers.clear();
    return writes;
}

// An ordinary start and an apply in it; the driver key as the start found it.
demo::KeyContents StartAndApply(Machine& m) { return m.StartAndApply(); }

// After a stop in OK or Apply again: the check runs when its entry was armed; otherwise the start
// is ordinary and takes its backup. Either way Restore Registry gives back the key before.
bool RecoversLikeOk(Machine& m, const demo::KeyContents& before) {
    bool armed = m.win.registry.Value(RunOnceKey, RunOnceValue).has_value();
    TForm1* form = m.Start();
    if (!form || (armed ? !m.CheckWindow() : !m.Exported(StartBackupFile))) return false;
    m.win.boxes.answers = {Answer::No};
    EXPECT_THROW(form->bRestore.Click(), platform::ProcessEnded);
    return m.Driver() == before;
}

// A fresh install: no settings yet, so the first start is a first run.
demo::KeyContents FreshInstall(Machine& m) {
    m.win.registry.DeleteKeyTree(SettingsKey);
    return m.Driver();
}

// The driver key once a first run has cleared the driver's restrictions.
demo::KeyContents Cleared() {
    Machine m(true);
    FreshInstall(m);
    m.win.boxes.answers = {Answer::No};
    m.Start();
    return m.Driver();
}

const Scenario kScenarios[] = {
    {"OK", false,
     [](Machine& m) {
         m.form = m.Start();
         return m.Driver();
     },
     [](Machine& m) { m.Apply(*m.form); }, LastKnownGoodFile, RecoversLikeOk},
    {"Apply again", false,
     [](Machine& m) {
         m.ApplyConfirmed();
         m.UpdateDriver();
         // The backup of the OK before the update belongs to the old driver: only the one
         // Apply again takes can bring back the updated key.
         m.win.files.Remove("C:\\Cadenzo\\" + std::string(LastKnownGoodFile));
         return m.Driver();
     },
     [](Machine& m) {
         TWatch* watch = m.Watch();
         ASSERT_NE(nullptr, watch);
         m.win.boxes.answers = {Answer::No};
         watch->bApply.Click();
     },
     LastKnownGoodFile, RecoversLikeOk},
    {"the first run", true, FreshInstall,
     [](Machine& m) {
         m.win.boxes.answers = {Answer::No};
         m.Start();
     },
     FirstRunFile,
     [](Machine& m, const demo::KeyContents& before) {
         // The next start finishes the first run (running it again) and firstrun.dat still
         // holds the driver key from before it.
         m.win.boxes.answers = {Answer::No};
         m.Start();
         return m.Driver() == Cleared() && m.ImportByHand(FirstRunFile) && m.Driver() == before;
     }},
    {"Uninstall", true,
     [](Machine& m) {
         demo::KeyContents original = FreshInstall(m);
         m.win.boxes.answers = {Answer::No};
         EXPECT_EQ(nullptr, m.Start());
         StartAndApply(m);
         m.form = m.Start();
         return original;
     },
     [](Machine& m) { m.Uninstall(*m.form); }, FirstRunFile,
     [](Machine& m, const demo::KeyContents& before) {
         // Uninstall again, from the first ordinary start.
         for (int start = 0; start < 2; ++start) {
             m.win.boxes.answers = {Answer::No};
             if (TForm1* form = m.Start()) {
                 m.Uninstall(*form);
                 return m.Driver() == before;
             }
         }
         return false;
     }},
    {"the check", false,
     [](Machine& m) {
         demo::KeyContents before = StartAndApply(m);
         m.command = m.Logon();  // the restart
         return before;
     },
     [](Machine& m) {
         m.StartWith(m.command);  // the check, left to run out
         if (m.CheckWindow()) m.LetCheckRunOut();
     },
     StartBackupFile,
     [](Machine& m, const demo::KeyContents& before) {
         // Each later start checks again, or finds the key as before the apply: never the new
         // rates unchecked. A check that finds its earlier start unanswered undoes the change
         // at once; the first one to start runs out.
         for (int start = 0; start < 3; ++start) {
             bool armed = m.win.registry.Value(RunOnceKey, RunOnceValue).has_value();
             m.Start();
             if (!armed) return m.Driver() == before;
             if (!m.CheckWindow()) return false;
             if (m.CheckWindow()->Check.Countdown != CheckState::Stopped) m.LetCheckRunOut();
         }
         return false;
     }},
};

TEST(CrashPointTest, AfterEveryWriteTheBackupAndTheNextStartRecover) {
    std::size_t triedAll = 0, recoveredAll = 0;
    for (const Scenario& scenario : kScenarios) {
        SCOPED_TRACE(scenario.name);
        demo::KeyContents before;
        std::size_t writes = 0;
        {
            Machine whole(scenario.addNativeModes);
            writes = RunStopped(scenario, whole, 0, before);
        }
        ASSERT_GT(writes, 0u);
        std::size_t recovered = 0;
        for (std::size_t n = 1; n <= writes; ++n) {
            SCOPED_TRACE("stopped after write " + std::to_string(n));
            // The backup by hand, then on a machine stopped alike the next start.
            Machine byHand(scenario.addNativeModes);
            RunStopped(scenario, byHand, n, before);
            bool imported = byHand.ImportByHand(scenario.backup);
            // Without the backup file nothing was changed yet.
            bool backupWorks = byHand.Driver() == before;
            EXPECT_TRUE(backupWorks) << (imported ? "imported" : "no backup file");
            Machine restarted(scenario.addNativeModes);
            RunStopped(scenario, restarted, n, before);
            bool nextStartWorks = scenario.recovers(restarted, before);
            EXPECT_TRUE(nextStartWorks);
            if (backupWorks && nextStartWorks) ++recovered;
        }
        std::cout << "crash points of " << scenario.name << ": " << writes << " tried, "
                  << recovered << " recovered\n";
        triedAll += writes;
        recoveredAll += recovered;
    }
    std::cout << "crash points: " << triedAll << " tried, " << recoveredAll << " recovered\n";
}

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
    demo::KeyContents before = StartAndApply(m);
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
    EXPECT_EQ("backup.dat restored", history.back());
    EXPECT_EQ("W backup.dat restored", demo::EventLogEntries(m.win).back());

    const std::string undone = "changed on 2026-11-30 08:04 were not confirmed";
    EXPECT_FALSE(said(undone));
    start();
    EXPECT_TRUE(said(undone));
    start();
    EXPECT_FALSE(said(undone));  // once

    // A check confirmed with OK, even in its second phase, is over: no entry, no count.
    m.Apply(*start());
    start();
    for (int second = 0; second < 16; ++second)
        m.CheckWindow()->Timer1.Tick();
    m.CheckWindow()->bOK.Click();
    EXPECT_FALSE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    EXPECT_FALSE(m.win.registry.Value(SettingsKey, "CheckStarts"));
    start();
    EXPECT_EQ(nullptr, m.CheckWindow());
}

// The watch at logon: a confirmed change is kept; a driver update that drops it is found and
// applied again as OK applies; Not now keeps the logon entry, Stop watching removes it; what the
// check undoes, and OK while another Cadenzo writes, leave the kept record as it was.
TEST(WatchTest, ADriverUpdateThatDropsTheRatesIsFoundAndAppliedAgain) {
    Machine m(false);
    auto kept = [&m](const char* key) { return ReadRecord(m.win.registry, key); };
    m.StartAndApply();
    ASSERT_TRUE(kept(PendingKey));
    EXPECT_FALSE(kept(AppliedKey));  // not before the check is confirmed
    m.StartWith(m.Logon());
    m.CheckWindow()->bOK.Click();
    std::optional<AppliedRecord> record = kept(AppliedKey);
    ASSERT_TRUE(record);
    EXPECT_FALSE(kept(PendingKey));
    EXPECT_EQ("6.14.10.6396", record->driverVersion);
    EXPECT_EQ("2026-12-07 21:05", record->date);
    EXPECT_EQ(nullptr, m.Watch());  // all well: nothing shown
    EXPECT_EQ(0u, m.exitCode);

    // The watch at logon, from the menu.
    TForm1* form = m.Start();
    form->FindMenuItem("KeepRates1")->Click();
    EXPECT_TRUE(form->FindMenuItem("KeepRates1")->Checked());
    std::string command;
    ReadRegString(m.win.registry, RunKey, WatchRunValue, command);
    EXPECT_EQ("\"C:\\Cadenzo\\Cadenzo.exe\" /WATCH", command);

    m.UpdateDriver();
    TWatch* watch = m.Watch();
    ASSERT_NE(nullptr, watch);
    EXPECT_EQ((std::vector<std::string>{"1024x768, 85 Hz"}), watch->lbLost.Items());
    EXPECT_EQ("Display driver before: 6.14.10.6396, now: 6.14.10.6558 (9-7-2005)",
              watch->lDriver.Caption());
    watch->bNotNow.Click();
    EXPECT_TRUE(WatchEnabled(m.win.registry));

    // Another Cadenzo writing: Apply again says so and writes nothing.
    demo::KeyContents updated = m.Driver();
    m.win.system.writerLockElsewhere = true;
    m.Watch()->bApply.Click();
    EXPECT_EQ("Cadenzo is busy", m.win.boxes.shown.back().caption);
    EXPECT_EQ(updated, m.Driver());
    m.win.system.writerLockElsewhere = false;

    // Apply again: this start's backup and the one before OK, the rates back, the check armed.
    std::size_t exports = m.regedit.exported.size();
    m.win.boxes.answers = {Answer::No};
    EXPECT_THROW(m.Watch()->bApply.Click(), platform::ProcessEnded);
    ASSERT_EQ(exports + 2, m.regedit.exported.size());
    EXPECT_NE(std::string::npos, m.regedit.exported[exports].find(StartBackupFile));
    EXPECT_TRUE(m.Exported(LastKnownGoodFile));
    EXPECT_NE(updated, m.Driver());
    EXPECT_TRUE(m.win.registry.Value(RunOnceKey, RunOnceValue));
    // The check's fall-back undoes it: the kept record is the confirmed one still.
    m.StartWith(m.Logon());
    try {
        m.LetCheckRunOut();
    } catch (const platform::ProcessEnded&) {
    }
    EXPECT_EQ(updated, m.Driver());
    EXPECT_EQ("6.14.10.6396", kept(AppliedKey)->driverVersion);
    EXPECT_FALSE(kept(PendingKey));

    // Applied again and confirmed: the next logon's watch finds all well.
    m.win.boxes.answers = {Answer::No};
    EXPECT_THROW(m.Watch()->bApply.Click(), platform::ProcessEnded);
    m.StartWith(m.Logon());
    m.CheckWindow()->bOK.Click();
    EXPECT_EQ("6.14.10.6558", kept(AppliedKey)->driverVersion);
    EXPECT_EQ(nullptr, m.Watch());

    // Stop watching; Uninstall takes the record with the settings and the entry.
    m.UpdateDriver();
    m.Watch()->bStop.Click();
    EXPECT_FALSE(WatchEnabled(m.win.registry));
    form = m.Start();
    form->FindMenuItem("KeepRates1")->Click();
    platform::Platform os = m.win.Os();
    ASSERT_TRUE(ExportDriverKey(os, demo::DriverKey, FirstRunFile).written);
    m.Uninstall(*form);
    EXPECT_FALSE(WatchEnabled(m.win.registry));
    EXPECT_FALSE(kept(AppliedKey));

    // A refused mode of no resolution the record rates counts too, named by what it refused.
    AppliedRecord odd;
    odd.refused = {0x12, 0x80, 0x10, 0x24, 0, 0, 0, 0x60, 0, 0, 0, 0, 0, 0x16, 0, 0};
    AdapterState adapter;
    adapter.DriverKey = demo::DriverKey;
    WatchResult result = ExamineDriver(m.win.registry, adapter, odd);
    EXPECT_EQ(WatchFinding::RatesLost, result.finding);
    EXPECT_EQ((std::vector<std::string>{"1280x1024, 60 Hz", "16 bits"}), result.lost);
}

}  // namespace
