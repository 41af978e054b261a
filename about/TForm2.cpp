#include "about/TForm2.h"

#include <string>

#include "about/AboutLinks.h"
#include "services/RunProgram.h"

namespace {

constexpr char VersionText[] = "0.98 beta";
constexpr char MailScheme[] = "mailto:";
constexpr int ProgramIcon = 1;  // the resource id of the program's icon
constexpr int IconSize = 24;

// An address as a link label shows it: without its scheme.
std::string WithoutScheme(const std::string& address) {
    std::string::size_type at = address.find("://");
    return at == std::string::npos ? address : address.substr(at + 3);
}

}  // namespace

TForm2::TForm2(ui::Application& app, platform::Platform& os) : ui::Form(app, "Form2"), os_(os) {
    SetCaption("About Cadenzo");
    SetPlace({0, 0, 204, 101});
    SetBorder(ui::BorderStyle::Single);
    SetSystemMenu(true);
    SetMinimizeBox(true);
    SetStayOnTop(true);
    SetFont({"MS Sans Serif", 11});

    Image1.SetPlace({24, 8, 33, 25});
    Image1.SetIcon(ProgramIcon, IconSize);
    struct Text {
        ui::Label& label;
        const std::string caption;
        ui::Rect place;
        ui::Alignment alignment;
    };
    for (const Text& t :
         {Text{Label1, "Cadenzo", {56, 8, 41, 13}, ui::Alignment::Center},
          Text{lbVer, "Ver", {56, 24, 68, 13}, ui::Alignment::Center},
          Text{Label3, "by", {128, 24, 0, 13}, ui::Alignment::Left},
          Text{Label4, AuthorName, {144, 24, 0, 13}, ui::Alignment::Left},
          Text{Label2, WithoutScheme(RussianPage), {26, 40, 0, 13}, ui::Alignment::Left},
          Text{Label5, WithoutScheme(EnglishPage), {16, 56, 0, 13}, ui::Alignment::Left}}) {
        t.label.SetCaption(t.caption);
        t.label.SetPlace(t.place);
        t.label.SetAlignment(t.alignment);
    }
    struct Link {
        ui::Label& label;
        std::string hint;
        void (TForm2::*click)();
    };
    for (const Link& link :
         {Link{Label4, std::string(MailScheme) + AuthorMail, &TForm2::Label4Click},
          Link{Label2, "Program's page [Russian]", &TForm2::Label2Click},
          Link{Label5, "Program's page [English]", &TForm2::Label5Click}}) {
        link.label.SetLink(true);
        link.label.SetTextColor(ui::Blue);
        link.label.SetFont({"MS Sans Serif", 11, true});
        link.label.SetHint(link.hint);
        link.label.OnClick = [this, click = link.click] { (this->*click)(); };
    }
    Button1.SetCaption("Ok");
    Button1.SetPlace({72, 72, 65, 25});
    Button1.OnClick = [this] { Button1Click(); };
}

// Shows the box and completes the version label, as the box's creation does.
void TForm2::FormCreate() {
    Show();
    lbVer.SetCaption(lbVer.Caption() + " " + VersionText);
}

void TForm2::OpenLink(const std::string& target) {
    RunProgram(os_.shell, target, "", "", platform::ShowHide);
}

void TForm2::Label4Click() { OpenLink(std::string(MailScheme) + AuthorMail); }

void TForm2::Label2Click() { OpenLink(RussianPage); }

void TForm2::Label5Click() { OpenLink(EnglishPage); }

void TForm2::Button1Click() { Hide(); }
