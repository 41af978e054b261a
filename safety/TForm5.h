#pragma once
// The check of the new modes after the restart: a small window on top that asks the user to
// confirm the picture can be read, falls back to the lowest refresh rate after 15 seconds,
// and after 15 more puts back the settings from before the change and restarts Windows.

#include <cstdint>
#include <functional>
#include <string>

#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "ui/Form.h"

// The state of the one check of a run.
struct CheckState {
    static constexpr std::uint8_t Stopped = 255;
    static constexpr std::uint8_t Seconds = 15;

    std::uint8_t Countdown = Seconds;
    bool FirstPhase = true;  // the applied settings are on trial, not yet the minimal rate
    std::string CountdownPrefix;
};

// Switches the device, for now and not stored, to the lowest refresh rate from 60 Hz up that
// the driver offers at the current size and colour depth, in one change: each rate tried would
// be one more blank re-sync of a monitor that may be failing. False when there is no such rate
// other than the one in force, or the driver would not take it: nothing was changed.
bool SelectMinimalRefresh(platform::Display& display, const std::string& deviceName);

class TForm5 : public ui::Form {
public:
    // `deviceName` is the display device of the adapter in use. `unanswered`: an earlier start
    // of this check was never answered, so the change is undone at once. The platform and the
    // language must outlive the window.
    TForm5(ui::Application& app, platform::Platform& os, const LanguageState& language,
           std::string deviceName, bool unanswered = false);

    void FormCreate();
    void Timer1Timer();
    void bOKClick();
    void bCancelClick();

    // Runs once the check is over: answered with OK, or its fall-back done.
    std::function<void()> OnAnswered;

    CheckState Check;
    ui::Label Label1{this, "Label1"};
    ui::Label Label2{this, "Label2"};
    ui::Button bOK{this, "bOK"};
    ui::Button bCancel{this, "bCancel"};
    ui::Timer Timer1{*this};

private:
    // The count-down line: the prefix, the seconds left and the word after them.
    std::string CountdownText(const std::string& prefix, int seconds) const;
    // The end of the fall-back: the settings from before the change back, the restart.
    void FallBackToBackup();

    platform::Platform& os_;
    const LanguageState& language_;
    std::string deviceName_;
    bool unanswered_;
};
