#pragma once
// The adapter dialog: lists the display adapters, stores the one chosen and whether its
// driver should ignore the monitor's capabilities, then opens a new main window that reads
// everything again.

#include <functional>
#include <string>

#include "adapters/AdapterState.h"
#include "lang/LanguageState.h"
#include "platform/Platform.h"
#include "ui/Form.h"

class TForm4 : public ui::Form {
public:
    // `openMainWindow` creates and shows a new main window. The platform, the language and the
    // adapter state must outlive the dialog.
    TForm4(ui::Application& app, platform::Platform& os, const LanguageState& language,
           const AdapterState& adapter, std::function<void()> openMainWindow);

    void FormCreate();
    void lbAdaptersClick();
    void bOKClick();
    void bExitClick();

    ui::Label Label1{this, "Label1"};
    ui::ListBox lbAdapters{this, "lbAdapters"};
    ui::CheckBox cbIgnoreMC{this, "cbIgnoreMC"};
    ui::CheckBox cbAllways{this, "cbAllways"};
    ui::Button bOK{this, "bOK"};
    ui::Button bExit{this, "bExit"};

private:
    // The driver key of display device `slot`, relative to HKEY_LOCAL_MACHINE; empty for a
    // device that was not accepted or whose key is not one of the machine's.
    std::string DriverKeyOfSlot(int slot) const;
    // "PruningMode" of the slot's driver key, or 1 when there is none to read.
    std::uint16_t PruningModeOf(int slot) const;

    platform::Platform& os_;
    const LanguageState& language_;
    const AdapterState& adapter_;
    std::function<void()> openMainWindow_;
};
