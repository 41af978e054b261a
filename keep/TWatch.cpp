#include "keep/TWatch.h"

#include "services/Format.h"
#include "services/Settings.h"
#include "ui/Application.h"

TWatch::TWatch(ui::Application& app, platform::Platform& os, const LanguageState& language,
               const WatchResult& result, std::function<void()> applyAgain)
    : ui::Form(app, "Watch"), os_(os), applyAgain_(std::move(applyAgain)) {
    SetPlace({0, 0, 420, 206});
    SetBorder(ui::BorderStyle::Single);
    SetStayOnTop(true);
    SetCaption(language.Text(TextId::WatchCaption));
    lIntro.SetPlace({12, 10, 396, 42});
    lIntro.SetAlignment(ui::Alignment::LeftWrapped);
    lIntro.SetCaption(language.Text(TextId::WatchRatesLost));
    lbLost.SetPlace({12, 56, 396, 82});
    std::vector<std::string> lines = result.lost;
    if (result.switchesChanged) lines.push_back(language.Text(TextId::WatchSwitchesLost));
    lbLost.SetItems(lines);
    lDriver.SetPlace({12, 142, 396, 13});
    // The driver named only where it changed.
    if (result.driverBefore != result.driverNow) {
        lDriver.SetCaption(
            FormatText(FormatText(language.Text(TextId::WatchDriverChanged), result.driverBefore),
                       result.driverNow));
    }
    bApply.SetPlace({12, 170, 120, 25});
    bApply.SetCaption(language.Text(TextId::WatchApplyAgain));
    bNotNow.SetPlace({150, 170, 120, 25});
    bNotNow.SetCaption(language.Text(TextId::WatchNotNow));
    bStop.SetPlace({288, 170, 120, 25});
    bStop.SetCaption(language.Text(TextId::WatchStop));
    bApply.OnClick = [this] { bApplyClick(); };
    bNotNow.OnClick = [this] { bNotNowClick(); };
    bStop.OnClick = [this] { bStopClick(); };
}

void TWatch::Close() {
    Hide();
    App().Quit();
}

void TWatch::bApplyClick() {
    // The loop ends only afterwards: a quit already posted would close the apply's questions
    // unanswered.
    Hide();
    applyAgain_();
    App().Quit();
}

// The Run entry stays: the next logon asks again.
void TWatch::bNotNowClick() { Close(); }

void TWatch::bStopClick() {
    EnableWatch(os_.registry, GetInstallDir(os_.registry), false);
    Close();
}
