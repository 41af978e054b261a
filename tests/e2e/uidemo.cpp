// A small window with one control of each kind, built with the control layer and shown
// through the Win32 backend, for the end-to-end case ui-controls.sh.
//
//   uidemo.exe [/PAINTBOX]   /PAINTBOX: the first paint shows a message box, the group
//                            "Options:" hidden meanwhile

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "platform/Utf8Text.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "ui/Form.h"
#include "ui/win32/Win32Ui.h"

namespace {

constexpr int kInactiveCaptionText = 19;  // COLOR_INACTIVECAPTIONTEXT, as the main window's

const ui::Font kGroupFont{"MS Sans Serif", 11};
const ui::Font kArrowFont{"Webdings", 21};

// Built-in texts beyond ANSI, marked as UTF-8.
constexpr char kAuto[] = "\uFEFFАвто";
constexpr char kKeyNotFound[] = "\uFEFFКлюч реестра не найден";
constexpr char kRegistry[] = "\uFEFFРеестр";

// The texts one after the other; marked as UTF-8 when one of them is, which suits the ASCII
// texts around it.
std::string Joined(std::initializer_list<std::string> parts) {
    bool utf8 = std::any_of(parts.begin(), parts.end(), platform::IsUtf8Marked);
    std::string text = utf8 ? platform::Utf8Mark : "";
    for (const std::string& part : parts)
        text += platform::WithoutUtf8Mark(part);
    return text;
}

class DemoForm : public ui::Form {
public:
    DemoForm(ui::Application& app, bool boxOnPaint) : Form(app, "Demo"), timer(*this) {
        SetCaption("Cadenzo UI demo");
        SetPlace({0, 0, 420, 300});
        SetFont({"MS Sans Serif", 14});
        SetBackgroundColor(kInactiveCaptionText);
        SetStayOnTop(true);

        Place(gbOptions, "Options:", {8, 4, 200, 136});
        gbOptions.SetFont(kGroupFont);
        Place(cbGrayed, "Grayed at start", {8, 16, 180, 17});
        cbGrayed.SetHint("Starts grayed; a click checks it");
        cbGrayed.SetState(ui::CheckState::Grayed);
        cbGrayed.OnClick = [this] {
            lbStatus.SetCaption("check: " + std::to_string(static_cast<int>(cbGrayed.State())));
        };
        Place(cbPlain, "Plain", {8, 36, 180, 17});
        Place(lbRate, "Rate:", {8, 62, 40, 13});
        lbRate.SetAlignment(ui::Alignment::Right);
        Place(cbRate, "", {52, 58, 49, 21});
        // A built-in UTF-8 item: picked, it reads back as the program's own bytes.
        cbRate.SetItems({"60", "72", "75", "85", kAuto});
        cbRate.SetText("60");
        Place(hzRate, "Hz", {106, 62, 20, 13});
        Place(cbDisabled, "", {130, 58, 49, 21});
        cbDisabled.SetItems({"16", "128"});
        cbDisabled.SetText("16");
        cbDisabled.SetEnabled(false);
        Place(sbUp, "5", {8, 88, 140, 10});
        Place(sbDown, "6", {8, 120, 140, 10});
        for (ui::SpeedButton* sb : {&sbUp, &sbDown})
            sb->SetFont(kArrowFont);
        sbUp.OnClick = [this] { Page(-1); };
        sbDown.OnClick = [this] { Page(+1); };
        Place(lbPage, "page: 0", {56, 103, 80, 13});

        Place(gbHidden, "Hidden:", {8, 146, 200, 40});
        gbHidden.SetFont(kGroupFont);
        gbHidden.SetVisible(false);
        Place(cbInHidden, "In the hidden group", {8, 16, 180, 17});
        cbInHidden.SetChecked(true);

        Place(lbList, "", {216, 8, 196, 60});
        lbList.SetItems({"One", "Two", "Three"});
        lbList.OnClick = [this] {
            lbStatus.SetCaption("picked: " + std::to_string(lbList.ItemIndex()));
        };
        Place(eName, "", {216, 76, 196, 21});
        eName.SetText("typed");
        Place(lbRead, "read:", {216, 106, 196, 16});
        Place(lbTicks, "ticks: 0", {216, 126, 196, 16});
        Place(lbStatus, "ready", {216, 146, 196, 16});
        // Placed narrower than its caption: it grows to the left.
        Place(lbLong, "Rate in force: 60 Hz", {300, 186, 40, 16});
        lbLong.SetAlignment(ui::Alignment::Right);
        // A built-in text marked as UTF-8, and a language file's text in the ANSI code page
        // ("Résolution" in code page 1252).
        Place(lbMissing, kKeyNotFound, {216, 206, 196, 16});
        Place(lbAnsi, "R\xE9solution", {216, 226, 196, 16});

        Place(bRead, "Read", {164, 268, 57, 25});
        bRead.SetHint("Shows what the fields hold");
        bRead.OnClick = [this] {
            lbRead.SetCaption(Joined({"read: ", cbRate.Text(), " / ", eName.Text()}));
        };
        Place(bFail, "Fail", {228, 268, 57, 25});
        bFail.OnClick = [] { throw std::runtime_error("Failed to set data for 'Demo'"); };
        Place(bToggle, "Toggle", {292, 268, 57, 25});
        bToggle.OnClick = [this] { gbHidden.SetVisible(!gbHidden.Visible()); };
        Place(bClose, "Close", {356, 268, 57, 25});
        bClose.OnClick = [this] { UserClose(); };
        // Beyond the right edge: reached only through the menu.
        Place(bHidden, "Hidden", {500, 268, 57, 25});
        bHidden.OnClick = [this] { lbStatus.SetCaption("hidden button pressed"); };

        auto& program = Menu().Add("mProgram", "Program");
        program.Add("mGreet", "Greet").OnClick = [this] { lbStatus.SetCaption("greeted"); };
        program.Add("mLine", "-");
        program.Add("mHidden", "Press hidden button").OnClick = [this] { bHidden.Click(); };
        program.Add("mExit", "Exit").OnClick = [this] { UserClose(); };
        auto& help = Menu().Add("mHelp", "Help");
        help.Add("mAbout", "About").OnClick = [this] { lbStatus.SetCaption("about"); };
        help.Add("mRegistry", kRegistry).OnClick = [this] {
            App().Boxes().Show(kKeyNotFound, App().Title(), platform::Buttons::Ok,
                               platform::Icon::Warning);
        };

        timer.SetInterval(100);
        timer.OnTimer = [this] { lbTicks.SetCaption("ticks: " + std::to_string(++ticks_)); };

        // Hiding a group lays bare the form beneath it, which asks for a paint while the box is
        // open; the paint must not show a second box.
        OnPaint = [this, boxOnPaint] {
            if (!boxOnPaint || painted_) return;
            gbOptions.SetVisible(false);
            App().Boxes().Show("First paint", App().Title(), platform::Buttons::Ok,
                               platform::Icon::None);
            gbOptions.SetVisible(true);
            painted_ = true;
        };
    }

    ui::GroupBox gbOptions{this, "gbOptions"};
    ui::CheckBox cbGrayed{&gbOptions, "cbGrayed"};
    ui::CheckBox cbPlain{&gbOptions, "cbPlain"};
    ui::Label lbRate{&gbOptions, "lbRate"};
    ui::ComboBox cbRate{&gbOptions, "cbRate"};
    ui::Label hzRate{&gbOptions, "hzRate"};
    ui::ComboBox cbDisabled{&gbOptions, "cbDisabled"};
    ui::SpeedButton sbUp{&gbOptions, "sbUp"};
    ui::Label lbPage{&gbOptions, "lbPage"};
    ui::SpeedButton sbDown{&gbOptions, "sbDown"};
    ui::GroupBox gbHidden{this, "gbHidden"};
    ui::CheckBox cbInHidden{&gbHidden, "cbInHidden"};
    ui::ListBox lbList{this, "lbList"};
    ui::Edit eName{this, "eName"};
    ui::Label lbRead{this, "lbRead"};
    ui::Label lbTicks{this, "lbTicks"};
    ui::Label lbStatus{this, "lbStatus"};
    ui::Label lbLong{this, "lbLong"};
    ui::Label lbMissing{this, "lbMissing"};
    ui::Label lbAnsi{this, "lbAnsi"};
    ui::Button bRead{this, "bRead"};
    ui::Button bFail{this, "bFail"};
    ui::Button bToggle{this, "bToggle"};
    ui::Button bClose{this, "bClose"};
    ui::Button bHidden{this, "bHidden"};
    ui::Timer timer;

private:
    static void Place(ui::Control& control, const std::string& caption, const ui::Rect& place) {
        control.SetCaption(caption);
        control.SetPlace(place);
    }
    void Page(int step) {
        page_ += step;
        lbPage.SetCaption("page: " + std::to_string(page_));
    }

    int page_ = 0;
    int ticks_ = 0;
    bool painted_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    platform::Win32MessageBoxes boxes;
    ui::Win32Ui backend;
    ui::Application app(boxes, &backend);
    app.SetTitle("UI demo");
    DemoForm form(app, lstrcmpiA(commandLine, "/PAINTBOX") == 0);
    app.SetMainForm(&form);
    form.Show();
    app.RunLoop();
    return 0;
}
