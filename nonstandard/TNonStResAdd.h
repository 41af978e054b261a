#pragma once
// The add/edit window of a non-standard resolution: width, height, colour depth and rate.
// Whether its OK adds or replaces is decided by the shared edit mode at the moment of the
// click, as several of these windows may be open at once.

#include "lang/LanguageState.h"
#include "nonstandard/NonStdModes.h"
#include "ui/Form.h"

class TNonStRes;

class TNonStResAdd : public ui::Form {
public:
    // The list window, the language and the edit state outlive this window.
    TNonStResAdd(ui::Application& app, const LanguageState& language, NonStdEditState& editing,
                 TNonStRes& list);

    void FormCreate();
    void bOKClick();
    void bCancelClick();

    ui::Edit eWidth{this, "eWidth"};
    ui::Label Label1{this, "Label1"};
    ui::Edit eHeight{this, "eHeight"};
    ui::Label Label2{this, "Label2"};
    ui::Edit eBpp{this, "eBpp"};
    ui::Label Label3{this, "Label3"};
    ui::Edit eHz{this, "eHz"};
    ui::Label Label4{this, "Label4"};
    ui::Button bOK{this, "bOK"};
    ui::Button bCancel{this, "bCancel"};

private:
    const LanguageState& language_;
    NonStdEditState& editing_;
    TNonStRes& list_;
};
