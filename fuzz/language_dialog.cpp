// The language dialog's listing of the install directory: the input is one language file
// beside English.lng, cut into two files at a line "--next file--" when it holds one. The
// dialog lists the built-in English and each file of this version, and stores the one chosen.

#include "fuzz/FuzzMachine.h"
#include "lang/TForm3.h"
#include "ui/Application.h"

namespace {

constexpr char kNextFile[] = "\r\n--next file--\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    std::string input = fuzz::Text(data, size);
    std::size_t cut = input.find(kNextFile);
    win.files.Put(InstallPath(fuzz::InstallDir, "A.lng"), input.substr(0, cut));
    if (cut != std::string::npos) {
        win.files.Put(InstallPath(fuzz::InstallDir, "B.lng"),
                      input.substr(cut + sizeof kNextFile - 1));
    }
    platform::Platform os = win.Os();
    ui::Application app(win.boxes);
    int mainWindows = 0;
    TForm3 dialog(app, os, [&] { ++mainWindows; });
    dialog.FormCreate();
    const std::vector<std::string>& lines = dialog.lbLang.Items();
    fuzz::Require(lines.size() == dialog.LanguageChoices.size() + 1);
    // The last line listed is the one chosen; what is stored is that file's name.
    dialog.lbLang.SetItemIndex(static_cast<int>(lines.size()) - 1);
    dialog.bOKClick();
    fuzz::Require(mainWindows == 1);
    auto stored = win.registry.Value(SettingsKey, LangFileNameValue);
    fuzz::Require(stored.has_value());
    // Stored with its terminator.
    std::string name(stored->data.begin(), stored->data.end());
    fuzz::Require(!name.empty() && name.back() == '\0');
    name.pop_back();
    fuzz::Require(lines.size() == 1 ? name.empty() : name == dialog.LanguageChoices.back());
    return 0;
}
