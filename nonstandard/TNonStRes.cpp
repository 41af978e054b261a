#include "nonstandard/TNonStRes.h"

#include "nonstandard/TNonStResAdd.h"
#include "services/WriterLock.h"

namespace {

constexpr char kSaveProblemCaption[] = "Error";
constexpr char kNotAllReadText[] =
    "Cadenzo could not read all of the driver's non-standard resolutions (the error was shown "
    "when this window opened), so saving would delete the ones it did not read. Nothing was "
    "saved. Correct or delete the value named in that error, then open the list again.";

// The warning under the list, one label a line.
struct WarningLine {
    int top;
    TextId text;
};
constexpr WarningLine kWarning[] = {
    {232, TextId::NonStdWarning1},
    {248, TextId::NonStdWarning2},
    {264, TextId::NonStdWarning3},
    {280, TextId::NonStdWarning4},
};

constexpr int kButtonLeft = 248;

}  // namespace

TNonStRes::TNonStRes(ui::Application& app, platform::Platform& os, const LanguageState& language,
                     const std::string& driverKey, NonStdModeList& nonStdModes,
                     bool& nonStdModesChanged, NonStdEditState& editing)
    : ui::Form(app, "NonStRes"),
      os_(os),
      language_(language),
      driverKey_(driverKey),
      modes_(nonStdModes),
      changed_(nonStdModesChanged),
      editing_(editing),
      MachineRegistry(os.registry) {
    SetPlace({0, 0, 311, 296});
    SetBorder(ui::BorderStyle::Single);
    SetStayOnTop(true);
    SetCaption(language_.Text(TextId::NonStdCaption));
    Label1.SetPlace({56, 0, 185, 13});
    Label1.SetCaption(language_.Text(TextId::NonStdListLabel));
    lbRes.SetPlace({8, 16, 233, 209});
    struct Command {
        ui::Button& button;
        int top;
        TextId caption;
    };
    for (const Command& command :
         {Command{bAdd, 24, TextId::NonStdAddButton},
          Command{bRemove, 64, TextId::NonStdRemoveButton},
          Command{bEdit, 104, TextId::NonStdEditButton}, Command{bOK, 144, TextId::OkButton},
          Command{BCancel, 184, TextId::CancelButton}}) {
        command.button.SetPlace({kButtonLeft, command.top, 57, 25});
        command.button.SetCaption(language_.Text(command.caption));
    }
    ui::Label* lines[] = {&Label2, &Label3, &Label4, &Label5};
    for (std::size_t i = 0; i < std::size(kWarning); ++i) {
        lines[i]->SetPlace({0, kWarning[i].top, 311, 13});
        lines[i]->SetCaption(language_.Text(kWarning[i].text));
        lines[i]->SetTextColor(ui::Red);
    }
    bAdd.OnClick = [this] { bAddClick(); };
    bRemove.OnClick = [this] { bRemoveClick(); };
    bEdit.OnClick = [this] { bEditClick(); };
    bOK.OnClick = [this] { bOKClick(); };
    BCancel.OnClick = [this] { BCancelClick(); };
    lbRes.OnDblClick = [this] { lbResDblClick(); };
}

TNonStRes::~TNonStRes() = default;

void TNonStRes::FormCreate() {
    // A failing value ends the handler here: the window opens without lines and with its
    // built-in texts, and what was merged before stays in the list.
    loaded_ = false;
    LoadNonStdModes(MachineRegistry, driverKey_, modes_);
    loaded_ = true;
    ShowList(-1);
}

bool TNonStRes::LinesShowList() const {
    const auto& lines = lbRes.Items();
    if (lines.size() != modes_.size()) return false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != FormatNonStdMode(modes_[i])) return false;
    }
    return true;
}

void TNonStRes::ShowList(int selected) {
    std::vector<std::string> lines;
    lines.reserve(modes_.size());
    for (const NonStdMode& mode : modes_)
        lines.push_back(FormatNonStdMode(mode));
    lbRes.SetItems(std::move(lines));
    lbRes.SetItemIndex(selected);
}

void TNonStRes::OpenAddWindow() {
    addWindows_.push_back(std::make_unique<TNonStResAdd>(App(), language_, editing_, *this));
    TNonStResAdd& window = *addWindows_.back();
    window.Run([&window] { window.FormCreate(); });
    window.Show();
}

void TNonStRes::bAddClick() {
    editing_.EditMode = false;
    OpenAddWindow();
}

void TNonStRes::bEditClick() {
    int line = lbRes.ItemIndex();
    if (!LinesShowList()) return ShowList(-1);
    if (line < 0 || line >= static_cast<int>(modes_.size())) return;
    editing_.EditedMode = modes_[line];
    editing_.EditMode = true;
    OpenAddWindow();
}

void TNonStRes::lbResDblClick() { bEditClick(); }

void TNonStRes::bRemoveClick() {
    int line = lbRes.ItemIndex();
    if (!LinesShowList()) return ShowList(-1);
    if (line < 0 || line >= static_cast<int>(modes_.size())) return;
    modes_.erase(modes_.begin() + line);
    ShowList(-1);
}

void TNonStRes::bOKClick() {
    // The save empties the three further values: those never read would be lost.
    if (!loaded_) {
        platform::ShowNotice(os_.boxes, kNotAllReadText, kSaveProblemCaption);
        return;
    }
    // A list the driver's values cannot hold is not cut short: nothing is written and the
    // window stays open for the user to shorten or correct it.
    std::string problem = NonStdModesSaveProblem(modes_);
    if (!problem.empty()) {
        platform::ShowNotice(os_.boxes, problem, kSaveProblemCaption);
        return;
    }
    // Not while another Cadenzo changes the driver's settings: the window stays open for
    // another try.
    WriterLock lock(os_);
    if (!lock.Held()) {
        platform::ShowNotice(os_.boxes, language_.Text(TextId::WriterBusy),
                             language_.Text(TextId::WriterBusyCaption));
        return;
    }
    SaveNonStdModes(MachineRegistry, driverKey_, modes_, changed_);
    Hide();
}

void TNonStRes::BCancelClick() { Hide(); }

void TNonStRes::AddMode(const NonStdMode& mode) {
    int line = LinesShowList() ? lbRes.ItemIndex() : -1;
    modes_.push_back(mode);
    ShowList(line);
}

void TNonStRes::ReplaceSelected(const NonStdMode& mode) {
    int line = lbRes.ItemIndex();
    if (!LinesShowList()) return ShowList(-1);
    if (line < 0 || line >= static_cast<int>(modes_.size())) return;
    modes_[line] = mode;
    ShowList(line);
}
