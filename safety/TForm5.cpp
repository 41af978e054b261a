#include "safety/TForm5.h"

#include "platform/Utf8Text.h"
#include "safety/PendingChange.h"
#include "services/Format.h"
#include "services/History.h"
#include "services/Restart.h"
#include "services/WriterLock.h"

namespace {

constexpr std::uint32_t kFallBackPauseMs = 60000;
// The last seconds of a count-down tick aloud, for a person who sees nothing.
constexpr std::uint8_t kAudibleSeconds = 5;
constexpr std::uint32_t kWriterWaitMs = 30000;

// The device's current mode for the history, "1024x768 at 70 Hz"; empty when it cannot be read.
std::string CurrentModeText(platform::Display& display, const std::string& deviceName) {
    platform::DisplayMode mode;
    if (!display.EnumMode(deviceName, platform::EnumCurrentSettings, 0, &mode)) return {};
    return SizeText(mode.width, mode.height) + " at " + std::to_string(mode.frequency) + " Hz";
}

}  // namespace

bool SelectMinimalRefresh(platform::Display& display, const std::string& deviceName) {
    platform::DisplayMode current;
    if (!display.EnumMode(deviceName, platform::EnumCurrentSettings, 0, &current)) return false;
    std::optional<platform::DisplayMode> lowest =
        LowestRateMode(display, deviceName, current.width, current.height, current.bitsPerPel);
    // The rate in force may be the one that fails: trying it again would change nothing.
    if (!lowest || lowest->frequency == current.frequency) return false;
    if (display.ChangeSettings(deviceName, &*lowest, platform::CdsTest) !=
        platform::DispChangeSuccessful)
        return false;
    return display.ChangeSettings(deviceName, &*lowest, platform::CdsFullscreen) ==
           platform::DispChangeSuccessful;
}

TForm5::TForm5(ui::Application& app, platform::Platform& os, const LanguageState& language,
               std::string deviceName, bool unanswered)
    : ui::Form(app, "Form5"),
      os_(os),
      language_(language),
      deviceName_(std::move(deviceName)),
      unanswered_(unanswered) {
    SetPlace({0, 0, 494, 77});
    SetBorder(ui::BorderStyle::Single);
    SetStayOnTop(true);
    SetCaption(language_.Text(TextId::CheckCaption));
    Label1.SetPlace({0, 8, 494, 13});
    Label1.SetAlignment(ui::Alignment::Center);
    Label1.SetCaption(language_.Text(TextId::CheckConfirm));
    Label2.SetPlace({0, 24, 494, 13});
    Label2.SetAlignment(ui::Alignment::Center);
    Label2.SetCaption(language_.Text(TextId::CheckMinimalPrefix));
    bOK.SetPlace({176, 48, 57, 25});
    bOK.SetCaption(language_.Text(TextId::OkButton));
    bCancel.SetPlace({240, 48, 57, 25});
    bCancel.SetCaption(language_.Text(TextId::CancelButton));
    Timer1.SetInterval(1000);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    bOK.OnClick = [this] { bOKClick(); };
    bCancel.OnClick = [this] { bCancelClick(); };
}

std::string TForm5::CountdownText(const std::string& prefix, int seconds) const {
    // The language's words may be UTF-8 and the number between them is not: joined as texts.
    return platform::JoinText(prefix + " " + std::to_string(seconds) + " ",
                              language_.Text(TextId::CheckSeconds));
}

void TForm5::FormCreate() {
    if (unanswered_) {
        // Switched off at the count-down before: most likely nobody could see the screen.
        Check.FirstPhase = false;
        Check.Countdown = CheckState::Stopped;
        NoteUnconfirmedChange(os_);
        RecordEvent(os_, HistoryEvent::TwoStrikes, "the change is undone at once");
        FallBackToBackup();
        return;
    }
    Check.CountdownPrefix = language_.Text(TextId::CheckMinimalPrefix);
    // With a language in use the count-down shows its first number at once; the built-in
    // texts wait for the first tick.
    if (language_.LanguageActive)
        Label2.SetCaption(CountdownText(Check.CountdownPrefix, CheckState::Seconds));
}

void TForm5::Timer1Timer() {
    if (Check.Countdown > 0 && Check.Countdown < CheckState::Stopped) --Check.Countdown;
    Label2.SetCaption(CountdownText(Check.CountdownPrefix, Check.Countdown));
    if (Check.Countdown > 0 && Check.Countdown <= kAudibleSeconds)
        os_.system.Beep(platform::Sound::Tick);
    if (Check.Countdown == 0) {
        Check.Countdown = Check.FirstPhase ? CheckState::Seconds : CheckState::Stopped;
        bCancel.Click();
    }
}

void TForm5::bCancelClick() {
    if (Check.FirstPhase) {
        Check.FirstPhase = false;
        Check.Countdown = CheckState::Seconds;
        Label1.SetCaption(language_.Text(TextId::CheckMinimalConfirm));
        Check.CountdownPrefix = language_.Text(TextId::CheckRestorePrefix);
        Label2.SetCaption(CountdownText(Check.CountdownPrefix, CheckState::Seconds));
        // Without a lower rate to go to, the second count-down runs at the rate in force.
        SelectMinimalRefresh(os_.display, deviceName_);
        os_.system.Beep(platform::Sound::LowestRate);
        RecordEvent(os_, HistoryEvent::LowestRate, CurrentModeText(os_.display, deviceName_));
        return;
    }
    Check.Countdown = CheckState::Stopped;
    FallBackToBackup();
}

void TForm5::FallBackToBackup() {
    os_.system.Beep(platform::Sound::Restoring);
    // Nobody may be able to read the screen: whether or not the settings went back in, nothing
    // is asked and Windows restarts. When nothing went in, the check stays armed and tries again
    // after the restart.
    {
        // Another Cadenzo may be writing the driver's settings right now; this one waits for it
        // to finish, but goes on without the lock in the end: nobody may see the screen, and
        // the settings from before the change have to come back whatever happens.
        WriterLock lock(os_, kWriterWaitMs);
        UndoChange(os_, HistoryEvent::ChangeUndone, "the check's fall-back");
    }
    // Silent: a message about the privilege would hold the restart until someone clicks it,
    // and nobody may see the screen.
    EnableShutdownPrivilege(os_, false);
    os_.system.Sleep(kFallBackPauseMs);
    os_.system.ExitWindowsEx(platform::EwxReboot | platform::EwxForceIfHung);
    if (OnAnswered) OnAnswered();
}

void TForm5::bOKClick() {
    if (!Check.FirstPhase) {
        // The lowest rate is what can be seen: it becomes the mode Windows starts with.
        platform::DisplayMode current;
        if (os_.display.EnumMode(deviceName_, platform::EnumCurrentSettings, 0, &current)) {
            current.fields = platform::DmPelsWidth | platform::DmPelsHeight |
                             platform::DmBitsPerPel | platform::DmDisplayFrequency;
            os_.display.ChangeSettings(deviceName_, &current,
                                       platform::CdsUpdateRegistry | platform::CdsNoReset);
        }
    }
    Check.Countdown = CheckState::Stopped;
    ConfirmChange(os_);
    RecordEvent(os_, HistoryEvent::CheckConfirmed,
                Check.FirstPhase ? "the new rates" : "the lowest rate");
    Hide();
    if (OnAnswered) OnAnswered();
}
