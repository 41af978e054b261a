#pragma once
// The watch's one window: the display driver's settings changed since Cadenzo applied the
// user's rates (a driver update or reinstall does that), and these rates are gone. Apply again
// does what the main window's OK does with the rates kept; Not now asks again at the next
// logon; Stop watching removes the logon entry.

#include <functional>

#include "keep/Watch.h"
#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Form.h"

class TWatch : public ui::Form {
public:
    // `applyAgain` runs once the window has hidden; the platform, the language and the result
    // must outlive the window.
    TWatch(ui::Application& app, platform::Platform& os, const LanguageState& language,
           const WatchResult& result, std::function<void()> applyAgain);

    void bApplyClick();
    void bNotNowClick();
    void bStopClick();

    ui::Label lIntro{this, "lIntro"};
    ui::ListBox lbLost{this, "lbLost"};
    ui::Label lDriver{this, "lDriver"};
    ui::Button bApply{this, "bApply"};
    ui::Button bNotNow{this, "bNotNow"};
    ui::Button bStop{this, "bStop"};

private:
    void Close();

    platform::Platform& os_;
    std::function<void()> applyAgain_;
};
