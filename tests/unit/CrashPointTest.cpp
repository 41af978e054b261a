// The machine stopped (a power cut, the program killed) right after each single registry write
// of OK, of the first run, of Uninstall, and of the check after the restart from its start to
// its fall-back's end, where each tick of the count-down and each switch of the display mode
// is a stop point too. Each time, importing the
// backup taken before the action brings the driver key back byte for byte, and the next start
// offers what the user needs to recover. The test prints how many crash points it tried and
// how many recovered.

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>

#include "app/Program.h"
#include "app/TForm1.h"
#include "modes/ApplySettings.h"
#include "safety/Backups.h"
#include "services/Settings.h"
#include "tests/unit/RestartingMachine.h"

namespace {

using demo::Machine;
using platform::Answer;

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

// After a stop in a pending change: each later start checks again, or finds the key as before
// the change: never the new rates unchecked. A check that finds its earlier start unanswered
// undoes the change at once; the first one to start runs out.
bool RecoversByTheCheck(Machine& m, const demo::KeyContents& before) {
    for (int start = 0; start < 4; ++start) {
        bool armed = m.win.registry.Value(RunOnceKey, RunOnceValue).has_value();
        m.win.boxes.answers.assign(3, Answer::No);
        m.Start();
        if (!armed) return m.Driver() == before;
        if (!m.CheckWindow()) return false;
        if (m.CheckWindow()->Check.Countdown != CheckState::Stopped) m.LetCheckRunOut();
    }
    return false;
}

// Cadenzo started again before the restart that a pending change waits for.
TForm1* PlainStart(Machine& m) {
    m.win.boxes.answers.assign(3, Answer::No);
    return m.StartWith("\"C:\\Cadenzo\\Cadenzo.exe\"");
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
     LastKnownGoodFile, RecoversByTheCheck},
    {"a second start and OK before the restart", false,
     [](Machine& m) {
         demo::KeyContents before = StartAndApply(m);
         m.form = PlainStart(m);
         return before;
     },
     [](Machine& m) { m.Apply(*m.form); }, LastKnownGoodFile, RecoversByTheCheck},
    {"Restore Registry of a pending change", false,
     [](Machine& m) {
         demo::KeyContents before = StartAndApply(m);
         m.form = PlainStart(m);
         return before;
     },
     [](Machine& m) {
         m.win.boxes.answers = {Answer::No};
         m.form->bRestore.Click();
     },
     LastKnownGoodFile, RecoversByTheCheck},
    {"the undo of a check found unanswered", false,
     [](Machine& m) {
         demo::KeyContents before = StartAndApply(m);
         m.StartWith(m.Logon());  // the check starts; the power goes off
         m.command = m.Logon();
         return before;
     },
     [](Machine& m) { m.StartWith(m.command); }, LastKnownGoodFile, RecoversByTheCheck},
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

// Windows writes each hive to disk on its own and when it likes: the check and the state of the
// change reach the disk before the first driver value is written, and the driver key is flushed
// after its last, or a power cut could keep the new rates and lose the check.
TEST(CrashPointTest, OkFlushesTheCheckBeforeItWritesTheDriverKey) {
    Machine m(false);
    TForm1* form = m.Start();
    m.win.registry.journal.clear();
    m.Apply(*form);
    const std::vector<std::string>& journal = m.win.registry.journal;
    auto at = [&journal](const std::string& entry, bool last = false) {
        std::size_t found = journal.size();
        for (std::size_t i = 0; i < journal.size(); ++i) {
            if (journal[i].compare(0, entry.size(), entry) == 0 &&
                (last || found == journal.size()))
                found = i;
        }
        return found;
    };
    std::string driver = platform::CanonicalKeyPath(demo::DriverKey);
    std::size_t firstDriverWrite = at("set " + driver + "\\");
    ASSERT_LT(firstDriverWrite, journal.size());
    std::size_t armed = at("set " + platform::CanonicalKeyPath(RunOnceKey));
    std::size_t state = at("set " + platform::CanonicalKeyPath(SettingsKey) + "\\changestate");
    std::size_t settingsFlushed = at("flush " + platform::CanonicalKeyPath(SettingsKey));
    std::size_t armedFlushed = at("flush " + platform::CanonicalKeyPath(RunOnceKey));
    EXPECT_LT(armed, armedFlushed);
    EXPECT_LT(state, settingsFlushed);
    EXPECT_LT(settingsFlushed, firstDriverWrite);
    EXPECT_LT(armedFlushed, firstDriverWrite);
    EXPECT_LT(at("set " + driver + "\\", true), at("flush " + driver));
    EXPECT_LT(at("flush " + driver), journal.size());
}

}  // namespace
