#pragma once
// The program object: everything that lives as long as the process. Windows get a reference.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "modes/ModeTable.h"
#include "platform/Platform.h"
#include "safety/TForm5.h"
#include "services/RegistryCursor.h"
#include "ui/Application.h"

class TForm1;

class Program {
public:
    Program(platform::Platform os, ui::Application& app);
    ~Program();

    platform::Platform os;
    ui::Application& app;

    // The registry cursor; each main window's creation makes a fresh one.
    std::unique_ptr<RegistryCursor> MachineRegistry;
    LanguageState language;
    AdapterState adapter;
    // The resolutions with their rates; rebuilt by every main window's creation.
    ::ModeTable ModeTable;

    std::uint32_t ModeEnumFlags = 0;
    std::string WinVerText;

    // Start-up flags.
    bool FirstPaint = true;           // the first paint's actions have not run yet
    bool CheckMode = false;           // started with /CHECK to test the new modes
    bool RestoreWanted = false;       // the user agreed at start to restore the last backup
    bool StartBackupTaken = false;    // this run's "backup.dat" was written
    bool NonStdModesChanged = false;  // the non-standard resolutions were saved

    bool FirstRunNeeded = false;  // the driver's restrictions are to be cleared
    CheckState check;             // the check of the new modes, in check mode

    // Creates a main window (the first at start, more from the adapter and language
    // dialogs); it runs the whole creation sequence and is shown.
    TForm1& CreateMainWindow();
    // The main window created last: the one the menus act on.
    TForm1& Form1();

    // Opens the check of the new modes (once, in check mode).
    TForm5& CreateCheckWindow();
    TForm5* CheckWindow() { return checkWindow_.get(); }

private:
    std::vector<std::unique_ptr<TForm1>> mainWindows_;
    std::unique_ptr<TForm5> checkWindow_;
};
