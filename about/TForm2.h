#pragma once
// The About box: the program's name, version and author, and links to the author and the
// program's pages. Modeless and on top; each About command opens one more. Its texts are
// always the built-in ones.

#include <string>

#include "platform/Platform.h"
#include "ui/Form.h"

class TForm2 : public ui::Form {
public:
    // The platform must outlive the box.
    TForm2(ui::Application& app, platform::Platform& os);

    void FormCreate();
    void Label4Click();
    void Label2Click();
    void Label5Click();
    void Button1Click();

    ui::Image Image1{this, "Image1"};
    ui::Label Label1{this, "Label1"};
    ui::Label lbVer{this, "lbVer"};
    ui::Label Label3{this, "Label3"};
    ui::Label Label4{this, "Label4"};
    ui::Label Label2{this, "Label2"};
    ui::Label Label5{this, "Label5"};
    ui::Button Button1{this, "Button1"};

private:
    void OpenLink(const std::string& target);

    platform::Platform& os_;
};
