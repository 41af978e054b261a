#pragma once
// A machine that lives through stops and restarts, for the tests of what happens across them:
// the program started anew at each logon, the RunOnce entry taken away as Windows does, the
// check window and the watch at logon.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Program.h"
#include "app/TForm1.h"
#include "keep/TWatch.h"
#include "platform/fake/FakeRegedit.h"
#include "safety/Backups.h"
#include "safety/TForm5.h"
#include "services/Restart.h"
#include "tests/unit/DemoMachine.h"

namespace demo {

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
        for (int second = 0; second < 2 * CheckState::Seconds + 1; ++second) {
            win.registry.Step();
            CheckWindow()->Timer1.Tick();
        }
    }
    // Picks 85 Hz for 1024x768 and presses OK, declining the restart.
    void Apply(TForm1& form) {
        for (auto& row : form.Rows) {
            if (row->l.Caption() == "1024x768") row->ComboBox.SetText("85");
        }
        win.boxes.answers = {platform::Answer::No};
        try {
            form.OK.Click();
        } catch (const platform::ProcessEnded&) {
            return;
        }
        ADD_FAILURE() << "OK did not end the program";
    }
    void Uninstall(TForm1& form) {
        win.boxes.answers = {platform::Answer::Yes};
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

}  // namespace demo
