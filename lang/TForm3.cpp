#include "lang/TForm3.h"

#include "lang/LanguageFile.h"
#include "lang/LanguageState.h"
#include "services/Settings.h"

namespace {

constexpr char kCaption[] = "Select Language";
constexpr char kSelectText[] = "Select interface language:";
constexpr char kBuiltInEntry[] = "English [Quillon]";
constexpr char kLanguageFiles[] = "*.lng";
// The dialog's texts are always its own; no language file replaces them.
constexpr char kOkText[] = "OK";
constexpr char kCancelText[] = "Cancel";

}  // namespace

TForm3::TForm3(ui::Application& app, platform::Platform& os, std::function<void()> openMainWindow)
    : ui::Form(app, "Form3"), os_(os), openMainWindow_(std::move(openMainWindow)) {
    SetPlace({0, 0, 200, 190});
    SetBorder(ui::BorderStyle::Single);
    SetMinimizeBox(false);
    SetStayOnTop(true);
    SetCaption(kCaption);
    Label1.SetPlace({32, 0, 160, 13});
    Label1.SetCaption(kSelectText);
    lbLang.SetPlace({8, 16, 185, 137});
    bOK.SetPlace({68, 160, 57, 25});
    bOK.SetCaption(kOkText);
    bCancel.SetPlace({132, 160, 57, 25});
    bCancel.SetCaption(kCancelText);
    bOK.OnClick = [this] { bOKClick(); };
    bCancel.OnClick = [this] { bCancelClick(); };
}

void TForm3::FormCreate() {
    std::vector<std::string> lines{kBuiltInEntry};
    LanguageChoices.clear();
    // The install directory, where the main window will look for the file chosen; the choice
    // is stored as a bare name.
    std::string directory = GetInstallDir(os_.registry);
    for (const std::string& name : os_.files.List(InstallPath(directory, kLanguageFiles))) {
        // A file that cannot be read could not be loaded either: it is not offered.
        std::optional<std::string> bytes = os_.files.ReadAll(InstallPath(directory, name));
        if (!bytes) continue;
        std::optional<std::string> entry = LanguageListEntry(ReadLanguageLines(*bytes));
        if (!entry) continue;
        lines.push_back(*entry);
        LanguageChoices.push_back(name);
    }
    lbLang.SetItems(lines);
}

void TForm3::bOKClick() {
    // The built-in English, or no line chosen, is stored as no file at all.
    int line = lbLang.ItemIndex();
    std::string name = line >= 1 && line <= static_cast<int>(LanguageChoices.size())
                           ? LanguageChoices[line - 1]
                           : std::string();
    SaveLangFileName(os_.registry, name);
    Hide();
    openMainWindow_();
}

void TForm3::bCancelClick() { Hide(); }
