// A language file as a translator (or a damaged disk) may write it, loaded as each main
// window's creation loads the file "LangFileName" names from the install directory.

#include "fuzz/FuzzMachine.h"
#include "lang/LanguageState.h"
#include "platform/Utf8Text.h"

namespace {

constexpr char kFileName[] = "Fuzz.lng";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    win.files.Put(InstallPath(fuzz::InstallDir, kFileName), fuzz::Text(data, size));
    win.registry.SeedString(SettingsKey, LangFileNameValue, kFileName);
    platform::Platform os = win.Os();
    LanguageState language;
    bool loaded = LoadLanguage(os, language);
    fuzz::Require(loaded == language.LanguageActive);
    // Accepted, nothing is said; refused, one message says why.
    fuzz::Require(win.boxes.shown.size() == (loaded ? 0u : 1u));
    const std::string file = fuzz::Text(data, size);
    const bool utf8 = platform::IsUtf8Marked(file);
    for (const TextSlot& slot : TextTable) {
        std::string text = language.Text(slot.id);
        fuzz::Require(loaded || text == slot.builtIn);
        // A file in the system's code page gives its texts as they stand, unmarked.
        fuzz::Require(!loaded || utf8 || file.find(text) != std::string::npos ||
                      (SlotOf(slot.id) >= FirstNamedText && text == slot.builtIn));
    }
    // A text carried by number holds no line end of its own.
    for (const auto& [number, text] : language.NamedTexts)
        fuzz::Require(number >= FirstNamedText && text.find('\r') == std::string::npos);
    return 0;
}
