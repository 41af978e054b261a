#pragma once
// The program object: the state its windows share, and the windows, created in one place.

#include <memory>
#include <vector>

#include "adapters/TForm4.h"
#include "app/ProgramState.h"
#include "app/ProgramWindows.h"
#include "keep/TWatch.h"
#include "lang/TForm3.h"
#include "safety/Restore.h"
#include "safety/TForm5.h"
#include "safety/Uninstall.h"

class Program : public ProgramState, public ProgramWindows {
public:
    Program(platform::Platform os, ui::Application& app);
    ~Program() override;

    TForm1& CreateMainWindow() override;
    // The uninstaller's "/UNINSTALL": the main window's Uninstall without the window.
    UninstallResult UninstallFromCommandLine(bool silent);
    // "/RESTORE": the settings from before the last OK back in and a restart, shown nothing.
    RestoreResult RestoreFromCommandLine();
    // "/WATCH" at logon: nothing while the rates applied are in force; when a driver update
    // took them, the watch window. The exit code (0, or 8 when the adapter is gone).
    std::uint32_t WatchFromCommandLine();
    TWatch* WatchWindow() { return watchWindow_.get(); }
    // A main window made as at every start but never shown, for a command of the command line.
    TForm1& CreateHiddenMainWindow();
    // The watch's Apply again: the kept record applied as OK applies a choice, without a window.
    void ApplyAgain(const AppliedRecord& record);
    // In Safe Mode, the offer to do the same before the main window; true when it was done.
    bool RestoreInSafeMode();
    TForm1& Form1() override;
    TForm5& CreateCheckWindow() override;
    TForm5* CheckWindow() { return checkWindow_.get(); }
    TForm4& CreateAdapterDialog() override;
    void OpenResolutions() override;
    void OpenLanguages() override;
    void OpenAbout() override;
    const std::vector<std::unique_ptr<ui::Form>>& Dialogs() const { return dialogs_; }

private:
    // Keeps a new dialog for the rest of the run, fills it and shows it.
    template <typename Dialog>
    Dialog& Open(std::unique_ptr<Dialog> dialog) {
        Dialog& form = *dialog;
        dialogs_.push_back(std::move(dialog));
        form.Run([&form] { form.FormCreate(); });
        form.Show();
        return form;
    }

    std::vector<std::unique_ptr<TForm1>> mainWindows_;
    std::unique_ptr<TForm5> checkWindow_;
    std::unique_ptr<TWatch> watchWindow_;
    // Dialogs are only hidden when closed; they live as long as the program.
    std::vector<std::unique_ptr<ui::Form>> dialogs_;
};
