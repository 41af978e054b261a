#include "about/Help.h"

#include "platform/Utf8Text.h"
#include "services/RunProgram.h"
#include "services/Settings.h"

std::string HelpFileParameter(const std::string& installDir, const LanguageState& language) {
    // The file's name may be UTF-8 from a language file, the directory is ANSI: joined as
    // texts, so that the mark stays at the start.
    return platform::JoinText(
        platform::JoinText("\"" + installDir + "\\", language.Text(TextId::HelpFile)), "\"");
}

void OpenHelp(platform::Platform& os, const LanguageState& language) {
    RunProgram(os.shell, HelpViewer, HelpFileParameter(GetInstallDir(os.registry), language), ".",
               platform::ShowNormal);
}
