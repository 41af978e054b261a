#include "app/Program.h"

#include "about/TForm2.h"
#include "app/ApplyCommand.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "apply/Machine.h"
#include "keep/TWatch.h"
#include "nonstandard/TNonStRes.h"
#include "safety/PendingChange.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

Program::Program(platform::Platform os, ui::Application& app) : ProgramState(os, app) {}

Program::~Program() = default;

TForm1& Program::CreateMainWindow() {
    mainWindows_.push_back(std::make_unique<TForm1>(*this, *this));
    TForm1& form = *mainWindows_.back();
    if (!app.MainForm()) app.SetMainForm(&form);
    // An error in the creation sequence skips its remaining steps; the window still opens
    // with what was filled so far.
    form.Run([&form] { form.FormCreate(); });
    form.OnPaint = [&form] { form.FormPaint(); };
    form.Show();
    return form;
}

UninstallResult Program::UninstallFromCommandLine(bool silent) {
    // The install directory and the language as every start learns them: the backup lies in
    // that directory, and the questions speak that language. Silent, there are no questions,
    // and a language file's own error boxes would stop an uninstaller that nobody watches.
    RememberInstallDir(os);
    if (!silent) LoadLanguage(os, language);
    RegistryCursor registry(os.registry);
    std::string origin = UninstallSwitch + (silent ? std::string(" ") + SilentSwitch : "");
    return Uninstall(os, registry, language, silent, origin);
}

RestoreResult Program::RestoreFromCommandLine() {
    // Started from its own directory, it learns it as every start does; typed into Run, it
    // finds the backups through the directory an earlier start stored.
    RememberInstallDir(os);
    return RestoreAndRestart(os);
}

std::uint32_t Program::WatchFromCommandLine() {
    RememberInstallDir(os);
    // A change waiting for its check is the user's own: its new rates are not "lost".
    if (ChangePending(os.registry)) return 0;
    std::optional<AppliedRecord> record = ReadRecord(os.registry, AppliedKey);
    if (!record) return 0;
    // The adapter and its card as every start finds them. The watch reads the driver's list its
    // own way (one it cannot read refuses nothing), so an error in it stops nothing here.
    RegistryCursor cursor(os.registry);
    Machine machine;
    try {
        ReadMachine(os, cursor, machine);
    } catch (const RegistryError&) {
    }
    adapter = machine.adapter;
    WatchResult result = ExamineDriver(os.registry, adapter, *record);
    if (result.finding == WatchFinding::AllWell) {
        DeleteRegValue(os.registry, AppliedKey, RecordAdapterGoneSaidValue);
        return 0;
    }
    LoadLanguage(os, language);
    if (result.finding == WatchFinding::AdapterGone) {
        // Said once; the record stays for the day the adapter is back.
        std::uint16_t said = 0;
        if (ReadRegWord(os.registry, AppliedKey, RecordAdapterGoneSaidValue, said) != RegDone) {
            platform::ShowNotice(os.boxes, language.Text(TextId::WatchAdapterGone),
                                 language.Text(TextId::WatchCaption));
            WriteRegDword(os.registry, AppliedKey, RecordAdapterGoneSaidValue, 1);
        }
        return 8;
    }
    std::string lost;
    for (const std::string& line : result.lost)
        lost += (lost.empty() ? "" : "; ") + line;
    if (result.switchesChanged) lost += std::string(lost.empty() ? "" : "; ") + "driver switches";
    RecordEvent(os, HistoryEvent::WatchLostRates,
                lost + "; driver " + result.driverBefore + " -> " + result.driverNow);
    watchWindow_ = std::make_unique<TWatch>(app, os, language, result,
                                            [this, applied = *record] { ApplyAgain(applied); });
    app.SetMainForm(watchWindow_.get());
    watchWindow_->Show();
    app.RunLoop();
    return 0;
}

void Program::ApplyAgain(const AppliedRecord& record) {
    RecordEvent(os, HistoryEvent::ApplyAgain, "the rates of " + record.date);
    ApplyRecordAgain(os, app, language, record);
}

TForm1& Program::CreateHiddenMainWindow() {
    mainWindows_.push_back(std::make_unique<TForm1>(*this, *this));
    TForm1& form = *mainWindows_.back();
    form.Run([&form] { form.FormCreate(); });
    return form;
}

bool Program::RestoreInSafeMode() {
    if (!os.system.SafeMode()) return false;
    // The question speaks the language the main window would.
    RememberInstallDir(os);
    LoadLanguage(os, language);
    return OfferRestoreInSafeMode(os, language);
}

TForm1& Program::Form1() { return *mainWindows_.back(); }

TForm5& Program::CreateCheckWindow() {
    checkWindow_ = std::make_unique<TForm5>(app, os, language, adapter.DisplayDeviceName,
                                            EarlierCheckStarts > 0);
    TForm5& form = *checkWindow_;
    // Until the check is over, closing the main window only hides it: the process must stay to
    // count down, or the next logon (perhaps another user's) would undo the change and restart
    // Windows unasked.
    ui::Form* main = app.MainForm();
    app.SetMainForm(nullptr);
    form.OnAnswered = [this, main] {
        if (main && main->Visible()) {
            app.SetMainForm(main);
        } else {
            app.Quit();
        }
    };
    form.Run([&form] { form.FormCreate(); });
    // One that undid the change at once has no count-down to show.
    if (form.Check.Countdown != CheckState::Stopped) form.Show();
    return form;
}

TForm4& Program::CreateAdapterDialog() {
    return Open(
        std::make_unique<TForm4>(app, os, language, adapter, [this] { CreateMainWindow(); }));
}

void Program::OpenResolutions() {
    Open(std::make_unique<TNonStRes>(app, os, language, adapter.DriverKey, NonStdModes,
                                     NonStdModesChanged, NonStdEditing));
}

void Program::OpenLanguages() {
    Open(std::make_unique<TForm3>(app, os, [this] { CreateMainWindow(); }));
}

void Program::OpenAbout() { Open(std::make_unique<TForm2>(app, os)); }
