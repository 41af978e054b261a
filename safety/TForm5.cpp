#include "safety/TForm5.h"

#include "keep/AppliedRecord.h"
#include "platform/Utf8Text.h"
#include "safety/Backups.h"
#include "safety/CheckStarts.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

constexpr std::uint32_t kHighestRate = 200;
constexpr std::uint32_t kLowestRate = 60;
constexpr std::uint32_t kFallBackPauseMs = 60000;
// The last seconds of a count-down tick aloud, for a person who sees nothing.
constexpr std::uint8_t kAudibleSeconds = 5;
// The driver key counts as settled once its write time stayed the same for this many polls.
constexpr std::uint32_t kSettlePollMs = 100;
constexpr int kQuietPolls = 3;
constexpr std::uint32_t kSettleLimitMs = 5000;
constexpr std::uint32_t kWriterWaitMs = 30000;

// The device's current mode for the history, "1024x768 at 70 Hz"; empty when it cannot be read.
std::string CurrentModeText(platform::Display& display, const std::string& deviceName) {
    platform::DisplayMode mode;
    if (!display.EnumMode(deviceName, platform::EnumCurrentSettings, 0, &mode)) return {};
    return std::to_string(mode.width) + "x" + std::to_string(mode.height) + " at " +
           std::to_string(mode.frequency) + " Hz";
}

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
        display.ChangeSettings(deviceName, &mode, flags);
    }
}

TForm5::TForm5(ui::Application& app, platform::Platform& os, const LanguageState& language,
               std::string deviceName, std::string driverKey, bool unanswered)
    : ui::Form(app, "Form5"),
      os_(os),
      language_(language),
      deviceName_(std::move(deviceName)),
      driverKey_(std::move(driverKey)),
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
        SelectMinimalRefresh(os_.display, deviceName_, false);
        os_.system.Beep(platform::Sound::LowestRate);
        RecordEvent(os_, HistoryEvent::LowestRate, CurrentModeText(os_.display, deviceName_));
        Check.FirstPhase = false;
        Check.Countdown = CheckState::Seconds;
        Label1.SetCaption(language_.Text(TextId::CheckMinimalConfirm));
        Check.CountdownPrefix = language_.Text(TextId::CheckRestorePrefix);
        Label2.SetCaption(CountdownText(Check.CountdownPrefix, CheckState::Seconds));
        return;
    }
    Check.Countdown = CheckState::Stopped;
    FallBackToBackup();
}

void TForm5::FallBackToBackup() {
    os_.system.Beep(platform::Sound::Restoring);
    RestoreStoredMode();
    // The check armed itself again when it started: a machine that stops during the import
    // comes up with the check, not with the new rates unchecked. Nobody may be able to read
    // the screen: whether or not the backup went back in, nothing
    // is asked and Windows restarts, which brings back the mode stored before the check. The
    // import is over either way, so the restart does not bring the check back.
    {
        // Another Cadenzo may be writing the driver's settings right now; this one waits for it
        // to finish, but goes on without the lock in the end: nobody may see the screen, and
        // the settings from before the change have to come back whatever happens.
        WriterLock lock(os_.system, kWriterWaitMs);
        if (ImportBackup(os_, StartBackupFile))
            RecordEvent(os_, HistoryEvent::BackupRestored);
        else
            RecordEvent(
                os_, HistoryEvent::RestoreFailed,
                "the check's fall-back: " + std::string(StartBackupFile) + " did not go in");
    }
    ClearCheck(os_);
    DropPendingRecord(os_.registry);
    // Silent: a message about the privilege would hold the restart until someone clicks it,
    // and nobody may see the screen.
    EnableShutdownPrivilege(os_, false);
    os_.system.Sleep(kFallBackPauseMs);
    os_.system.ExitWindowsEx(platform::EwxReboot);
}

// Puts the display back to the mode stored in the registry and waits until the switch has
// settled. A mode switch may make the system rewrite the adapter's driver key: Wine has its
// other processes delete and rebuild it, several times over, and they need not be done when
// the call returns. backup.dat goes in after that, or a rebuild could undo it. Where nothing
// rewrites the key this costs one quiet interval; where it never settles, the wait has a limit.
void TForm5::RestoreStoredMode() {
    platform::Registry& registry = os_.registry;
    std::uint64_t time = 0;
    bool watched =
        !driverKey_.empty() && registry.KeyWriteTime(driverKey_, &time) == platform::RegStatus::Ok;
    os_.display.ChangeSettings(deviceName_, nullptr, platform::CdsFullscreen);
    if (!watched) return;
    // A key missing for a moment is being rebuilt; one that stays missing is settled too.
    platform::RegStatus status = platform::RegStatus::Ok;
    int quiet = 0;
    for (std::uint32_t waited = 0; quiet < kQuietPolls && waited < kSettleLimitMs;
         waited += kSettlePollMs) {
        os_.system.Sleep(kSettlePollMs);
        std::uint64_t now = 0;
        platform::RegStatus nowStatus = registry.KeyWriteTime(driverKey_, &now);
        quiet = nowStatus == status && now == time ? quiet + 1 : 0;
        status = nowStatus;
        time = now;
    }
}

void TForm5::bOKClick() {
    if (!Check.FirstPhase) SelectMinimalRefresh(os_.display, deviceName_, true);
    Check.Countdown = CheckState::Stopped;
    // Confirmed: these are the rates to keep after a driver update.
    ConfirmPendingRecord(os_.registry);
    ClearCheck(os_);
    RecordEvent(os_, HistoryEvent::CheckConfirmed,
                Check.FirstPhase ? "the new rates" : "the lowest rate");
    Hide();
}
