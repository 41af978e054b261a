// The program entry: the real Windows behind the platform boundary, the application titled
// "Cadenzo", the main window with its creation sequence, and the message loop; or, for an
// uninstaller, the restore of the driver's first settings alone, its result the exit code.

#include "app/Program.h"
#include "app/TForm1.h"
#include "platform/win32/Win32Platform.h"
#include "safety/Uninstall.h"
#include "services/Settings.h"
#include "ui/win32/Win32Ui.h"

int main() {
    platform::Win32Platform windows;
    ui::Win32Ui backend;
    ui::Application app(windows.Os().boxes, &backend);
    app.SetTitle(ProgramName);
    Program program(windows.Os(), app);
    std::string commandLine = windows.Os().system.CommandLine();
    if (HasUninstallSwitch(commandLine)) {
        return static_cast<int>(program.UninstallFromCommandLine(HasSilentSwitch(commandLine)));
    }
    program.CreateMainWindow();
    app.RunLoop();
    return 0;
}
