#include "app/CommandLine.h"

#include "app/ApplyCommand.h"
#include "app/Program.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "platform/CaseFold.h"
#include "platform/Utf8Text.h"
#include "report/ReportText.h"
#include "services/ExitCodes.h"
#include "services/Format.h"
#include "services/Settings.h"

namespace {

constexpr char kUsage[] =
    "Cadenzo.exe /LIST [/CSV]                       the adapter and every resolution's rates\r\n"
    "Cadenzo.exe /EXPORT file.cadenzo               the settings in force as a profile\r\n"
    "Cadenzo.exe /APPLY file.cadenzo [/NORESTART] [/S]\r\n"
    "                                               a profile applied as OK applies it; /S asks\r\n"
    "                                               nothing and refuses rates beyond the\r\n"
    "                                               monitor's limits; /NORESTART leaves the\r\n"
    "                                               restart to the caller\r\n"
    "Cadenzo.exe /REPORT [file]                     the diagnostic report (%s)\r\n"
    "Cadenzo.exe /RESTORE                           the settings before the last OK, and a "
    "restart\r\n"
    "Cadenzo.exe /UNINSTALL [/S]                    the settings before the first run\r\n"
    "Cadenzo.exe /WATCH                             the check at logon after a driver update\r\n";

// Message boxes of a command that asks nothing: each message goes to the console, and a question
// is answered No.
class ConsoleBoxes : public platform::MessageBoxes {
public:
    explicit ConsoleBoxes(platform::System& system) : system_(system) {}
    platform::Answer Show(const std::string& text, const std::string& caption,
                          platform::Buttons buttons, platform::Icon) override {
        bool question = buttons == platform::Buttons::YesNo;
        system_.WriteOut(platform::JoinText(platform::JoinText(caption + ": ", text),
                                            std::string(question ? " No" : "") + "\r\n"));
        return question ? platform::Answer::No : platform::Answer::Ok;
    }

private:
    platform::System& system_;
};

struct Arguments {
    std::string command;  // upper case
    std::vector<std::string> files;
    bool csv = false, noRestart = false, silent = false;
};

// The words after the command; false when one does not belong to it, or files are missing or
// too many.
bool Parse(const std::vector<std::string>& words, Arguments& arguments) {
    arguments.command = platform::UpperCase(words[0]);
    const std::string& c = arguments.command;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string word = platform::UpperCase(words[i]);
        if (word == "/CSV" && c == "/LIST") {
            arguments.csv = true;
        } else if (word == "/NORESTART" && c == "/APPLY") {
            arguments.noRestart = true;
        } else if (word == "/S" && c == "/APPLY") {
            arguments.silent = true;
        } else if (!word.empty() && word[0] != '/') {
            arguments.files.push_back(words[i]);
        } else {
            return false;
        }
    }
    std::size_t files = arguments.files.size();
    if (c == "/EXPORT" || c == "/APPLY") return files == 1;
    if (c == "/REPORT") return files <= 1;
    return files == 0;
}

void Say(platform::System& system, const std::string& text) { system.WriteOut(text + "\r\n"); }

}  // namespace

bool IsCommand(const std::vector<std::string>& words) {
    if (words.empty()) return false;
    std::string word = platform::UpperCase(words[0]);
    return word == "/LIST" || word == "/EXPORT" || word == "/APPLY" || word == "/REPORT" ||
           word == "/?";
}

std::string ExitCodeLine(std::uint32_t code) {
    for (const exitcode::Meaning& meaning : exitcode::Table) {
        if (meaning.code == code) return "exit code " + std::to_string(code) + ": " + meaning.text;
    }
    return "exit code " + std::to_string(code);
}

std::uint32_t RunCommand(platform::Platform os, ui::Application& app,
                         const std::vector<std::string>& words) {
    Arguments arguments;
    if (!Parse(words, arguments) || arguments.command == "/?") {
        bool help = arguments.command == "/?" && words.size() == 1;
        if (!help) Say(os.system, "Cadenzo: bad arguments.");
        os.system.WriteOut(FormatText(kUsage, ReportFile));
        os.system.WriteOut("Exit codes, the same for every command:\r\n");
        for (const exitcode::Meaning& meaning : exitcode::Table)
            Say(os.system, "  " + std::to_string(meaning.code) + "  " + meaning.text);
        return help ? exitcode::Done : exitcode::BadArguments;
    }
    const std::string& command = arguments.command;

    // Without /S an /APPLY asks as the window would; every other command asks nothing: its
    // messages go to the console.
    RememberInstallDir(os);
    ConsoleBoxes console(os.system);
    platform::Platform quiet{os.registry, os.display, os.shell,  os.system,
                             os.files,    console,    os.dialogs};
    if (command == "/APPLY") {
        LanguageState language;
        LoadLanguage(os, language);
        return ApplyProfileCommand(arguments.silent ? quiet : os, app, language, arguments.files[0],
                                   arguments.silent, arguments.noRestart);
    }
    Program program(quiet, app);
    program.CommandMode = true;
    TForm1& form = program.CreateHiddenMainWindow();
    platform::System& system = os.system;

    if (command == "/LIST") {
        system.WriteOut(form.ListText(arguments.csv));
        return program.adapter.HasDriverKey() ? exitcode::Done : exitcode::NoAdapter;
    }
    if (command == "/EXPORT") {
        if (!form.ExportProfile(arguments.files[0])) return exitcode::NotFound;
        Say(system, "Cadenzo: the settings in force were written to " + arguments.files[0] + ".");
        return exitcode::Done;
    }
    if (command == "/REPORT") {
        bool created = form.WriteReport();
        if (created && !arguments.files.empty()) {
            std::string report = InstallPath(system.CurrentDirectory(), ReportFile);
            created = os.files.Replace(report, arguments.files[0]);
        }
        Say(system, created ? "Cadenzo: report written." : "Cadenzo: the report failed.");
        return created ? exitcode::Done : exitcode::EditorUnfinished;
    }

    return exitcode::BadArguments;  // every command is handled above
}
