#include "safety/TForm5.h"

#include "app/Program.h"
#include "safety/Backups.h"
#include "services/Restart.h"

namespace {

constexpr char kCaption[] = "Cadenzo - Checking Video Modes...";
constexpr char kConfirmText[] = "Settings implemented. If you can read this message, click \"OK\".";
constexpr char kMinimalPrefix[] = "Minimal refresh rate will be automatically selected in";
constexpr char kMinimalConfirmText[] =
    "Minimal refresh rate selected. If you can read this message, click \"OK\".";
constexpr char kRestorePrefix[] = "Settings will be automatically restored from backup in";
constexpr char kUnitWord[] = "seconds";
constexpr std::uint32_t kHighestRate = 200;
constexpr std::uint32_t kLowestRate = 60;
constexpr std::uint32_t kFallBackPauseMs = 60000;
// A mode switch goes on in the background for a moment after the call returns: the driver and
// Windows record the mode in the registry. The backup goes back in after that, or the switch
// could overwrite what it puts back.
constexpr std::uint32_t kSettlePauseMs = 1000;

}  // namespace

void SelectMinimalRefresh(platform::Display& display, const std::string& deviceName,
                          bool temporary) {
    // A record with only the frequency set asks for the current mode at another rate; some
    // systems (Wine among them) refuse such a record, so the current size and colour depth
    // are named too, which asks Windows for exactly the same.
    platform::DisplayMode mode;
    platform::DisplayMode current;
    if (display.EnumMode(deviceName, platform::EnumCurrentSettings, 0, &current)) {
        mode.fields = platform::DmPelsWidth | platform::DmPelsHeight | platform::DmBitsPerPel;
        mode.width = current.width;
        mode.height = current.height;
        mode.bitsPerPel = current.bitsPerPel;
    }
    mode.fields |= platform::DmDisplayFrequency;
    std::uint32_t flags =
        temporary ? platform::CdsFullscreen : platform::CdsUpdateRegistry | platform::CdsFullscreen;
    // Downwards, so that the rate left in force is the lowest one accepted.
    for (std::uint32_t rate = kHighestRate; rate >= kLowestRate; --rate) {
        mode.frequency = rate;
        display.ChangeSettings(&mode, flags);
    }
}

TForm5::TForm5(Program& program) : ui::Form(program.app, "Form5"), program(program) {
    SetPlace({0, 0, 494, 77});
    SetBorder(ui::BorderStyle::Single);
    SetStayOnTop(true);
    SetCaption(kCaption);
    Label1.SetPlace({0, 8, 494, 13});
    Label1.SetAlignment(ui::Alignment::Center);
    Label1.SetCaption(kConfirmText);
    Label2.SetPlace({0, 24, 494, 13});
    Label2.SetAlignment(ui::Alignment::Center);
    Label2.SetCaption(kMinimalPrefix);
    bOK.SetPlace({176, 48, 57, 25});
    bOK.SetCaption("OK");
    bCancel.SetPlace({240, 48, 57, 25});
    bCancel.SetCaption("Cancel");
    Timer1.SetInterval(1000);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    bOK.OnClick = [this] { bOKClick(); };
    bCancel.OnClick = [this] { bCancelClick(); };
}

std::string TForm5::UnitWord() const { return program.language.Text(39, kUnitWord); }

void TForm5::FormCreate() {
    const LanguageState& language = program.language;
    program.check.CountdownPrefix = kMinimalPrefix;
    if (language.LanguageActive) {
        SetCaption(language.Text(36, kCaption));
        Label1.SetCaption(language.Text(37, kConfirmText));
        Label2.SetCaption(language.Text(38, kMinimalPrefix) + " 15 " + UnitWord());
        bOK.SetCaption(language.Text(7, "OK"));
        bCancel.SetCaption(language.Text(8, "Cancel"));
        program.check.CountdownPrefix = language.Text(38, kMinimalPrefix);
    }
}

void TForm5::Timer1Timer() {
    CheckState& check = program.check;
    if (check.Countdown > 0 && check.Countdown < CheckState::Stopped) --check.Countdown;
    Label2.SetCaption(check.CountdownPrefix + " " + std::to_string(check.Countdown) + " " +
                      UnitWord());
    if (check.Countdown == 0) {
        check.Countdown = check.FirstPhase ? CheckState::Seconds : CheckState::Stopped;
        bCancel.Click();
    }
}

void TForm5::bCancelClick() {
    CheckState& check = program.check;
    platform::Platform& os = program.os;
    const LanguageState& language = program.language;
    if (check.FirstPhase) {
        SelectMinimalRefresh(os.display, program.adapter.DisplayDeviceName, false);
        check.FirstPhase = false;
        check.Countdown = CheckState::Seconds;
        Label1.SetCaption(language.Text(40, kMinimalConfirmText));
        Label2.SetCaption(language.Text(41, kRestorePrefix) + " 15 " + UnitWord());
        check.CountdownPrefix = language.Text(41, kRestorePrefix);
        return;
    }
    os.display.ChangeSettings(nullptr, platform::CdsFullscreen);
    os.system.Sleep(kSettlePauseMs);
    check.Countdown = CheckState::Stopped;
    ImportBackup(os, StartBackupFile);
    EnableShutdownPrivilege(os);
    os.system.Sleep(kFallBackPauseMs);
    os.system.ExitWindowsEx(platform::EwxReboot);
}

void TForm5::bOKClick() {
    if (!program.check.FirstPhase)
        SelectMinimalRefresh(program.os.display, program.adapter.DisplayDeviceName, true);
    program.check.Countdown = CheckState::Stopped;
    Hide();
}
