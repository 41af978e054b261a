// The watch at logon: the kept record of a confirmed change, and a driver update that drops the
// rates found and applied again.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "keep/AppliedRecord.h"
#include "keep/Watch.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "tests/unit/RestartingMachine.h"

namespace {

using demo::Machine;
using platform::Answer;

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

// A driver update that keeps the refused modes but resets a switch, or the anisotropy, is found
// as well: the watch offers Apply again for the switches alone, and Apply again writes them back.
TEST(WatchTest, ADriverUpdateThatResetsASwitchOrTheAnisotropyIsFound) {
    Machine m(false);
    TForm1* form = m.Start();
    form->Switches[0]->UserClick();  // BlockWrite off: the driver's "DisableBlockWrite" becomes 1
    m.Apply(*form);
    m.StartWith(m.Logon());
    m.CheckWindow()->bOK.Click();
    std::optional<AppliedRecord> record = ReadRecord(m.win.registry, AppliedKey);
    ASSERT_TRUE(record);
    EXPECT_EQ(nullptr, m.Watch());
    auto refused = m.win.registry.Value(demo::DriverKey, "DALRestrictedModesBCD");
    ASSERT_TRUE(refused);

    m.UpdateDriver();  // the switch back at the driver's 0
    m.win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary,
                        refused->data);
    AdapterState adapter;
    adapter.DriverKey = demo::DriverKey;
    adapter.DdhalKey = std::string(demo::DriverKey) + ati::DdhalSubkey;
    adapter.DeviceInstanceId = record->device;
    WatchResult result = ExamineDriver(m.win.registry, adapter, *record);
    EXPECT_EQ(WatchFinding::RatesLost, result.finding);
    EXPECT_TRUE(result.switchesChanged);
    EXPECT_TRUE(result.lost.empty());
    TWatch* watch = m.Watch();
    ASSERT_NE(nullptr, watch);
    EXPECT_EQ((std::vector<std::string>{"Driver switches and anisotropic filtering"}),
              watch->lbLost.Items());
    // The fake display still offers the refused rates: no restore, and no restart.
    m.win.boxes.answers = {Answer::No, Answer::No};
    EXPECT_THROW(watch->bApply.Click(), platform::ProcessEnded);
    EXPECT_EQ(std::vector<std::uint8_t>({1, 0, 0, 0}),
              m.win.registry.Value(demo::DriverKey, "DisableBlockWrite")->data);

    // The switches as applied, the anisotropy not: found alike.
    record->switches.clear();
    EXPECT_EQ(WatchFinding::AllWell, ExamineDriver(m.win.registry, adapter, *record).finding);
    record->anisoDegree = record->anisoDegree == "16" ? "8" : "16";
    result = ExamineDriver(m.win.registry, adapter, *record);
    EXPECT_EQ(WatchFinding::RatesLost, result.finding);
    EXPECT_TRUE(result.switchesChanged);
}

}  // namespace
