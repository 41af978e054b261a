#pragma once
// The one place where the program's windows are created and found. The main window reaches
// the others only through it.

class TForm1;
class TForm4;
class TForm5;

class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;

    // Creates a main window (the first at start, more from the adapter and language dialogs);
    // it runs the whole creation sequence and is shown.
    virtual TForm1& CreateMainWindow() = 0;
    // The main window created last: the one the menus act on.
    virtual TForm1& Form1() = 0;
    // Opens the check of the new modes (once, in check mode).
    virtual TForm5& CreateCheckWindow() = 0;
    // Opens a new adapter dialog; each command opens one more.
    virtual TForm4& CreateAdapterDialog() = 0;
    // Opens a new list of the non-standard resolutions.
    virtual void OpenResolutions() = 0;
    // Opens a new language dialog.
    virtual void OpenLanguages() = 0;
    // Opens a new About box.
    virtual void OpenAbout() = 0;
};
