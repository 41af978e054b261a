#pragma once
// The list of the driver's non-standard resolutions: add, edit and remove entries in the
// program's list, and write it to the driver key with OK. Closing without OK keeps the changes
// in memory only.

#include <memory>
#include <string>
#include <vector>

#include "lang/LanguageState.h"
#include "nonstandard/NonStdModes.h"
#include "platform/Platform.h"
#include "services/RegistryCursor.h"
#include "ui/Form.h"

class TNonStResAdd;

class TNonStRes : public ui::Form {
public:
    // Everything handed in belongs to the program and outlives the window. `driverKey` is the
    // adapter's, as every new main window refills it; empty when there is none.
    TNonStRes(ui::Application& app, platform::Platform& os, const LanguageState& language,
              const std::string& driverKey, NonStdModeList& nonStdModes, bool& nonStdModesChanged,
              NonStdEditState& editing);
    ~TNonStRes() override;

    void FormCreate();
    void bAddClick();
    void bRemoveClick();
    void bEditClick();
    void bOKClick();
    void BCancelClick();
    void lbResDblClick();

    // The add/edit window's OK: a new entry at the end, or the selected entry replaced.
    void AddMode(const NonStdMode& mode);
    void ReplaceSelected(const NonStdMode& mode);

    // The add/edit windows opened from this one, oldest first; they are only hidden when closed.
    const std::vector<std::unique_ptr<TNonStResAdd>>& AddWindows() const { return addWindows_; }

    ui::Label Label1{this, "Label1"};
    ui::ListBox lbRes{this, "lbRes"};
    ui::Button bAdd{this, "bAdd"};
    ui::Button bRemove{this, "bRemove"};
    ui::Button bEdit{this, "bEdit"};
    ui::Button bOK{this, "bOK"};
    ui::Button BCancel{this, "BCancel"};
    ui::Label Label2{this, "Label2"};
    ui::Label Label3{this, "Label3"};
    ui::Label Label4{this, "Label4"};
    ui::Label Label5{this, "Label5"};

private:
    void OpenAddWindow();
    // Line i shows entry i. Another list window may have changed the list since this one
    // showed it; a selection then points at the wrong entry, so the lines are shown anew first.
    bool LinesShowList() const;
    void ShowList(int selected);

    platform::Platform& os_;
    const LanguageState& language_;
    const std::string& driverKey_;
    NonStdModeList& modes_;
    bool& changed_;
    NonStdEditState& editing_;
    RegistryCursor MachineRegistry;
    std::vector<std::unique_ptr<TNonStResAdd>> addWindows_;
    // All four values were read when the window opened: a save replaces nothing unread.
    bool loaded_ = false;
};
