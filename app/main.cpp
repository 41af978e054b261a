// The program entry: the real Windows behind the platform boundary, the application titled
// "Cadenzo", the main window with its creation sequence, and the message loop; or, for an
// uninstaller, the restore of the driver's first settings alone, and for a person who cannot
// see the screen the restore of the settings before the last change; their result the exit
// code.

#include <cstdio>
#include <cstdlib>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/TForm1.h"
#include "keep/Watch.h"
#include "platform/CommandLine.h"
#include "platform/win32/Win32Platform.h"
#include "safety/Restore.h"
#include "safety/Uninstall.h"
#include "services/Settings.h"
#include "ui/win32/Win32Ui.h"

// What ends the program when an exception escapes everything (the control layer catches every
// handler's, so only a fault gets here). The static C++ runtime's own handler names the
// exception's type: that pulls in its demangler and, through it, printf with floating point,
// a sixth of the program, to write to a console a windowed program does not have.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::fputs("Cadenzo: an exception nobody caught ended the program\n", stderr);
    std::abort();
}
}  // namespace __gnu_cxx

int main() {
    platform::Win32Platform windows;
    ui::Win32Ui backend;
    ui::Application app(windows.Os().boxes, &backend);
    app.SetTitle(ProgramName);
    std::string commandLine = windows.Os().system.CommandLine();
    std::vector<std::string> words = platform::CommandLineWords(commandLine);
    if (!words.empty()) words.erase(words.begin());  // the program's path
    if (IsCommand(words)) return static_cast<int>(RunCommand(windows.Os(), app, words));
    Program program(windows.Os(), app);
    // The blind commands say what they did to a console they were started from.
    auto said = [&windows](const char* command, std::uint32_t code) {
        windows.Os().system.WriteOut(std::string("Cadenzo ") + command + ": " + ExitCodeLine(code) +
                                     "\r\n");
        return static_cast<int>(code);
    };
    if (HasUninstallSwitch(commandLine)) {
        return said("/UNINSTALL", static_cast<std::uint32_t>(program.UninstallFromCommandLine(
                                      HasSilentSwitch(commandLine))));
    }
    if (HasRestoreSwitch(commandLine)) {
        return said("/RESTORE", static_cast<std::uint32_t>(program.RestoreFromCommandLine()));
    }
    if (HasWatchSwitch(commandLine)) return static_cast<int>(program.WatchFromCommandLine());
    if (program.RestoreInSafeMode()) return static_cast<int>(RestoreResult::Restored);
    program.CreateMainWindow();
    app.RunLoop();
    return 0;
}
