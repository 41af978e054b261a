#pragma once
// The language dialog: lists the built-in English and every language file of this version in
// the install directory, stores the one chosen and opens a new main window, which loads it.
// Its own texts are always the built-in ones.

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/Form.h"

class TForm3 : public ui::Form {
public:
    // `openMainWindow` creates and shows a new main window. The platform must outlive the
    // dialog.
    TForm3(ui::Application& app, platform::Platform& os, std::function<void()> openMainWindow);

    void FormCreate();
    void bOKClick();
    void bCancelClick();

    ui::Label Label1{this, "Label1"};
    ui::ListBox lbLang{this, "lbLang"};
    ui::Button bOK{this, "bOK"};
    ui::Button bCancel{this, "bCancel"};

    // The file name of each list line after the first, the built-in English. Each dialog keeps
    // its own, so that an older dialog still open stores what its own list shows.
    std::vector<std::string> LanguageChoices;

private:
    platform::Platform& os_;
    std::function<void()> openMainWindow_;
};
