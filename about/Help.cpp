#include "about/Help.h"

#include "services/RunProgram.h"
#include "services/Settings.h"

std::string HelpFileParameter(const std::string& installDir, const LanguageState& language) {
    return "\"" + installDir + "\\" + language.Text(1, DefaultHelpFile) + "\"";
}

void OpenHelp(platform::Platform& os, const LanguageState& language) {
    RunProgram(os.shell, HelpViewer, HelpFileParameter(GetInstallDir(os.registry), language), ".",
               platform::ShowNormal);
}
