// The main window's creation sequence and its first paint.

#include "app/Program.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "services/Settings.h"

namespace {
constexpr char kCardDatabase[] = "ati.pci";
}  // namespace

void TForm1::FormCreate() {
    platform::Platform& os = program.os;

    // A fresh registry cursor on the settings key, created when missing.
    program.MachineRegistry = std::make_unique<RegistryCursor>(os.registry);
    program.MachineRegistry->OpenKey(SettingsKeyFromRoot, true);

    // Started from its own directory (the card database lies beside it): remember it.
    if (os.files.ReadAll(kCardDatabase)) SaveInstallDir(os);

    program.WinVerText = WindowsVersionText(os.system.Version());
    SetCaption(Caption() + " " + ProgramVersion);
}

void TForm1::FormPaint() {
    if (!program.FirstPaint) return;
    // Cleared before the actions, not after: a repaint while one of their message boxes is
    // open, or after one of them failed, must not run them a second time.
    program.FirstPaint = false;
    if (program.RestoreWanted) {
        bRestore.Click();
        return;
    }
    program.CheckMode = HasCheckSwitch(program.os.system.CommandLine());
}
