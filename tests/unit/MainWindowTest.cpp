// The main window as the program builds it: its layout, the creation sequence, the first
// paint and the menu commands.

#include <gtest/gtest.h>

#include "platform/Utf8Text.h"

#include <algorithm>

#include "about/TForm2.h"
#include "adapters/AdapterDiscovery.h"
#include "app/Program.h"
#include "app/Startup.h"
#include "app/TForm1.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

class MainWindowTest : public demo::ProgramTest {
protected:
    void SetUp() override { app.SetTitle("Cadenzo"); }
};

TEST(StartupTest, WindowsVersionTextHasTheBuildOnlyOnTheNtFamily) {
    EXPECT_EQ("5.1.2600", WindowsVersionText((2600u << 16) | (1u << 8) | 5u));
    EXPECT_EQ("6.1.7601", WindowsVersionText(0x1DB10106u));
    EXPECT_EQ("10.0.19045", WindowsVersionText((19045u << 16) | 10u));
    EXPECT_EQ("4.10", WindowsVersionText(0xC0000A04u));  // Windows 98
    EXPECT_EQ("4.90", WindowsVersionText(0xC0005A04u));  // Windows Me
}

TEST(StartupTest, CheckSwitchIsFoundAnywhereInAnyCase) {
    EXPECT_TRUE(HasCheckSwitch("\"C:\\Cadenzo\\Cadenzo.exe\" /CHECK"));
    EXPECT_TRUE(HasCheckSwitch("Cadenzo.exe /check"));
    EXPECT_TRUE(HasCheckSwitch("Cadenzo.exe /Checked"));
    EXPECT_TRUE(HasCheckSwitch("C:\\x/check\\Cadenzo.exe"));
    EXPECT_FALSE(HasCheckSwitch("\"C:\\Cadenzo\\Cadenzo.exe\""));
    EXPECT_FALSE(HasCheckSwitch("Cadenzo.exe -check"));
}

TEST_F(MainWindowTest, LayoutHidesWhatIsNeverShownButKeepsItsValues) {
    TForm1& form = program.CreateMainWindow();
    EXPECT_EQ((ui::Rect{0, 0, 630, 434}), form.Place());
    ASSERT_EQ(15u, form.Rows.size());
    EXPECT_EQ("ComboBox15", form.Rows[14]->ComboBox.Name());
    EXPECT_EQ((ui::Rect{76, 364, 49, 21}), form.Rows[14]->ComboBox.PlaceInForm());
    for (const char* hidden : {"gbColor", "gbSettings", "gbDebug"}) {
        EXPECT_FALSE(form.FindControl(hidden)->Visible()) << hidden;
    }
    for (const auto& box : form.ColourDepths) {
        EXPECT_TRUE(box->Checked());
        EXPECT_FALSE(box->Showing());
    }
    for (const auto& box : form.Switches)
        EXPECT_EQ(ui::CheckState::Grayed, box->State());
    // The buttons the menu clicks lie beyond the right edge of the client area.
    for (const char* name : {"About", "bRes", "bAdapter", "bLang", "bReport", "bRestore"}) {
        EXPECT_GE(form.FindControl(name)->PlaceInForm().left, 630) << name;
    }
    // The card database's answer replaces the layout's text once the window is created.
    EXPECT_EQ("Unknown - please, email to program's author...",
              TForm1(program, program).lbCardType().Caption());
    EXPECT_EQ("???", form.lbCardType().Caption());
    EXPECT_EQ("Forse Anisotropic Filtering in Direct3D", form.cbAnisoD3D.Caption());
    EXPECT_FALSE(form.cbAnisoDegree.Enabled());
}

TEST_F(MainWindowTest, CreationOpensTheSettingsKeyAndRemembersTheInstallDirectory) {
    InstallInProgramFiles();
    TForm1& form = program.CreateMainWindow();
    EXPECT_TRUE(win.registry.KeyExists(SettingsKey));
    EXPECT_EQ("C:\\Program Files\\Cadenzo", GetInstallDir(win.registry));
    EXPECT_EQ("Cadenzo 0.98 beta", form.Caption());
    EXPECT_EQ("10.0.19045", program.WinVerText);
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(win.boxes.shown.empty());
}

TEST_F(MainWindowTest, CreationFillsTheAdapterInformation) {
    TForm1& form = program.CreateMainWindow();
    EXPECT_EQ(demo::DriverKey, program.adapter.DriverKey);
    EXPECT_EQ("R300", form.lbChip().Caption());
    EXPECT_EQ("8.162-050811a-025681C", form.lbDRVver().Caption());
    EXPECT_EQ("1002", form.lbVendorID().Caption());
    EXPECT_EQ("4E44", form.lbDevID().Caption());
    EXPECT_EQ("0002", form.lbSSID1().Caption());
    EXPECT_EQ("1002", form.lbSSID2().Caption());
    EXPECT_EQ("00", form.lbRev().Caption());
    EXPECT_EQ(0u, program.ModeEnumFlags);
}

TEST_F(MainWindowTest, PruningModeZeroAsksForAllModes) {
    win.registry.SeedDword(demo::DriverKey, "PruningMode", 0);
    program.CreateMainWindow();
    EXPECT_EQ(platform::EdsRawMode, program.ModeEnumFlags);
    win.registry.SeedDword(demo::DriverKey, "PruningMode", 1);
    program.CreateMainWindow();
    EXPECT_EQ(0u, program.ModeEnumFlags);
}

TEST(MainWindowWithoutAdapterTest, SaysWhyAndTouchesNoDriverValue) {
    platform::FakeWindows win;
    demo::SeedInstall(win);
    ui::Application app{win.boxes};
    Program program{win.Os(), app};
    win.registry.SeedDword("", "PruningMode", 0);  // a value at the root must never be read
    TForm1& form = program.CreateMainWindow();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(NoAdapterText, win.boxes.shown[0].text);
    EXPECT_FALSE(program.adapter.HasDriverKey());
    EXPECT_EQ(0u, program.ModeEnumFlags);
    EXPECT_EQ("Cadenzo 0.98 beta", form.Caption());
    EXPECT_TRUE(form.Visible());

    // An adapter is there, but its key is not one of the machine's: that is what is said.
    win.display.AddDevice(demo::DeviceName, "RADEON 9700 PRO",
                          platform::DisplayDeviceAttachedToDesktop, "\\Registry\\User\\Video");
    program.CreateMainWindow();
    EXPECT_EQ(
        "The display adapter \"RADEON 9700 PRO\" has no driver key in the registry that Cadenzo "
        "can use (Windows names its key \"\\Registry\\User\\Video\"): refresh rates and driver "
        "settings can neither be read nor changed.",
        win.boxes.shown.back().text);
    EXPECT_FALSE(program.adapter.HasDriverKey());
}

TEST_F(MainWindowTest, StartedElsewhereTheStoredDirectoryStaysAndItsCardDatabaseIsNeeded) {
    win.system.currentDirectory = "C:\\Users\\Me";
    win.files.AddDirectory(win.system.currentDirectory);
    win.registry.SeedString(SettingsKey, "InstallDir", "D:\\Cadenzo");
    win.files.Put("D:\\Cadenzo\\ati.pci", "");
    TForm1& form = program.CreateMainWindow();
    EXPECT_EQ("D:\\Cadenzo", GetInstallDir(win.registry));
    EXPECT_EQ("???", form.lbCardType().Caption());  // no card named yet

    // Without the database the program says so and ends before its window shows.
    win.files.Remove("D:\\Cadenzo\\ati.pci");
    win.boxes.shown.clear();
    EXPECT_THROW(program.CreateMainWindow(), platform::ProcessEnded);
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Can't open ati.pci", win.boxes.shown[0].text);
    EXPECT_EQ("Error", win.boxes.shown[0].caption);
    EXPECT_FALSE(program.Form1().Visible());
}

TEST_F(MainWindowTest, TheStoredLanguageNameSurvivesCancelAndOk) {
    // Stored by another tool, terminator included: it goes back exactly as it was read.
    win.registry.SeedString(SettingsKey, "LangFileName", "Russian.lng");
    const std::vector<std::uint8_t> stored = win.registry.Value(SettingsKey, "LangFileName")->data;
    TForm1& form = program.CreateMainWindow();
    form.Paint();
    EXPECT_THROW(form.Cancel.Click(), platform::ProcessEnded);
    EXPECT_EQ(stored, win.registry.Value(SettingsKey, "LangFileName")->data);
    EXPECT_THROW(program.CreateMainWindow().OK.Click(), platform::ProcessEnded);
    EXPECT_EQ(stored, win.registry.Value(SettingsKey, "LangFileName")->data);
}

TEST_F(MainWindowTest, FirstPaintRunsOncePerProcessAndFindsTheCheckSwitch) {
    win.system.commandLine = "\"C:\\Cadenzo\\Cadenzo.exe\" /check";
    TForm1& first = program.CreateMainWindow();
    EXPECT_FALSE(program.CheckMode);  // not before the first paint
    first.Paint();
    EXPECT_TRUE(program.CheckMode);
    EXPECT_FALSE(program.FirstPaint);

    program.CheckMode = false;
    first.Paint();
    TForm1& second = program.CreateMainWindow();
    second.Paint();
    EXPECT_FALSE(program.CheckMode);  // later paints, of any main window, do nothing
    EXPECT_EQ(&second, &program.Form1());
    EXPECT_EQ("Cadenzo 0.98 beta", second.Caption());
}

TEST_F(MainWindowTest, RestoreWantedRestoresInsteadOfTheOtherFirstPaintActions) {
    win.system.commandLine = "Cadenzo.exe /CHECK";
    TForm1& form = program.CreateMainWindow();
    int restores = 0;
    form.bRestore.OnClick = [&] { ++restores; };
    program.RestoreWanted = true;
    form.Paint();
    EXPECT_EQ(1, restores);
    EXPECT_FALSE(program.CheckMode);
}

TEST_F(MainWindowTest, MenuEntriesClickTheButtonsOfTheNewestWindow) {
    TForm1& first = program.CreateMainWindow();
    TForm1& second = program.CreateMainWindow();
    std::vector<std::string> clicked;
    for (TForm1* form : {&first, &second}) {
        for (const char* name : {"OK", "Cancel", "Help", "About", "bRes", "bAdapter", "bLang",
                                 "bReport", "bRestore"}) {
            std::string tag = (form == &first ? "first." : "second.") + std::string(name);
            static_cast<ui::Button*>(form->FindControl(name))->OnClick = [&clicked, tag] {
                clicked.push_back(tag);
            };
        }
    }
    for (const char* entry : {"RestoreRegistry1", "CreateReport1", "SaveExit1", "Exit1", "Adapter1",
                              "Language1", "Resolutions1", "Contens1", "About1"}) {
        first.FindMenuItem(entry)->OnClick();
    }
    EXPECT_EQ((std::vector<std::string>{"first.bRestore", "second.bReport", "second.OK",
                                        "second.Cancel", "second.bAdapter", "second.bLang",
                                        "second.bRes", "second.Help", "second.About"}),
              clicked);
    EXPECT_EQ("Program", first.FindMenuItem("f1")->Caption());
    EXPECT_EQ("Contens...", first.FindMenuItem("Contens1")->Caption());
}

// Help and About, through the buttons the menu entries click.
TEST_F(MainWindowTest, HelpOpensTheQuotedHelpFileOfTheLanguageInUse) {
    InstallInProgramFiles();
    TForm1& form = program.CreateMainWindow();
    auto helpParameter = [&] {
        win.shell.started.clear();
        form.FindMenuItem("Contens1")->OnClick();
        EXPECT_EQ(1u, win.shell.started.size());
        const platform::Launch& launch = win.shell.started.back().launch;
        EXPECT_EQ("hh.exe", launch.file);
        EXPECT_EQ(".", launch.directory);
        EXPECT_EQ(platform::ShowNormal, launch.show);
        return launch.parameters;
    };
    EXPECT_EQ("\"C:\\Program Files\\Cadenzo\\CadenzoEn.chm\"", helpParameter());
    program.language.LanguageActive = true;
    program.language.LanguageTexts[0] = "CadenzoRu.chm";
    EXPECT_EQ("\"C:\\Program Files\\Cadenzo\\CadenzoRu.chm\"", helpParameter());
    // A name in UTF-8 from a language file: the whole parameter is marked as UTF-8 once, at
    // its start, so that the shell converts all of it.
    program.language.LanguageTexts[0] = std::string(platform::Utf8Mark) + "Справка.chm";
    EXPECT_EQ(std::string(platform::Utf8Mark) + "\"C:\\Program Files\\Cadenzo\\Справка.chm\"",
              helpParameter());
    program.language.LanguageTexts[0].clear();
    EXPECT_EQ("\"C:\\Program Files\\Cadenzo\\\"", helpParameter());
    // Without a stored install directory the file is looked for in the current one.
    win.registry.DeleteKeyTree(SettingsKey);
    program.language.LanguageActive = false;
    EXPECT_EQ("\".\\CadenzoEn.chm\"", helpParameter());
}

TEST_F(MainWindowTest, EachAboutCommandOpensAnotherBoxWithTheVersionAndLinks) {
    TForm1& form = program.CreateMainWindow();
    form.FindMenuItem("About1")->OnClick();
    static_cast<ui::Button*>(form.FindControl("About"))->Click();
    ASSERT_EQ(2u, program.Dialogs().size());
    auto& box = static_cast<TForm2&>(*program.Dialogs().back());
    EXPECT_NE(program.Dialogs().front().get(), &box);
    EXPECT_EQ("About Cadenzo", box.Caption());
    EXPECT_EQ((ui::Rect{0, 0, 204, 101}), box.Place());
    EXPECT_TRUE(box.StayOnTop());
    EXPECT_TRUE(box.Visible());
    EXPECT_EQ("Ver 0.98 beta", box.lbVer.Caption());
    EXPECT_EQ("Ver 0.98 beta", static_cast<TForm2&>(*program.Dialogs().front()).lbVer.Caption());
    EXPECT_EQ(24, box.Image1.IconSize());
    EXPECT_EQ("Program's page [Russian]", box.Label2.Hint());
    EXPECT_EQ("Program's page [English]", box.Label5.Hint());
    EXPECT_EQ(0u, box.Label4.Hint().rfind("mailto:", 0));
    // A link opens its target through the shell, hidden; the page's label shows no scheme.
    for (ui::Label* link : {&box.Label4, &box.Label2, &box.Label5}) {
        EXPECT_TRUE(link->IsLink());
        EXPECT_TRUE(link->GetFont().underline);
        EXPECT_EQ(ui::Blue, link->TextColor());
        win.shell.started.clear();
        link->Click();
        ASSERT_EQ(1u, win.shell.started.size());
        const platform::Launch& launch = win.shell.started[0].launch;
        EXPECT_EQ(platform::ShowHide, launch.show);
        EXPECT_EQ("", launch.parameters);
        if (link != &box.Label4) {
            EXPECT_EQ(std::string::npos, link->Caption().find("://"));
            EXPECT_NE(std::string::npos, launch.file.find("://" + link->Caption()));
        } else {
            EXPECT_EQ(box.Label4.Hint(), launch.file);
        }
    }
    box.Button1.Click();
    EXPECT_FALSE(box.Visible());
}

}  // namespace

namespace {

// The BCD record that disables `rate` at `width`x`height` for every colour depth.
std::vector<std::uint8_t> Disabling(int width, int height, int rate) {
    auto bcd = [](int n) { return static_cast<std::uint8_t>((n / 10) * 16 + n % 10); };
    return {bcd(width / 100), bcd(width % 100), bcd(height / 100), bcd(height % 100), 0, 0,
            bcd(rate / 100),  bcd(rate % 100)};
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> records) {
    std::vector<std::uint8_t> all;
    for (const auto& r : records)
        all.insert(all.end(), r.begin(), r.end());
    return all;
}

TEST_F(MainWindowTest, GridShowsTheModesWithTheRateInForce) {
    // The driver refuses 1024x768 at 60 and 70, which the display no longer reports.
    auto& modes = win.display.devices[0].modes;
    modes.erase(std::remove_if(modes.begin(), modes.end(),
                               [](const platform::DisplayMode& m) {
                                   return m.width == 1024 &&
                                          (m.frequency == 60 || m.frequency == 70);
                               }),
                modes.end());
    win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary,
                      Join({Disabling(1024, 768, 60), Disabling(1024, 768, 70)}));
    TForm1& form = program.CreateMainWindow();
    EXPECT_TRUE(win.boxes.shown.empty());
    ASSERT_EQ(4u, program.ModeTable.size());
    const char* labels[] = {"640x480", "800x600", "1024x768", "1280x1024"};
    const char* inForce[] = {"60", "56", "75", "60"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(labels[k], form.Rows[k]->l.Caption());
        EXPECT_EQ(inForce[k], form.Rows[k]->ComboBox.Text());
    }
    EXPECT_EQ((std::vector<std::string>{"60", "70", "75", "85"}), form.Rows[2]->ComboBox.Items());
    EXPECT_FALSE(form.Rows[4]->ComboBox.Visible());
    EXPECT_FALSE(form.sbDown.Enabled());
}

TEST_F(MainWindowTest, ARefusedRateTheDisplayStillOffersAsksToRestore) {
    win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary,
                      Join({Disabling(1024, 768, 60), Disabling(800, 600, 56)}));
    win.boxes.answers = {platform::Answer::Yes};
    program.CreateMainWindow();
    ASSERT_EQ(1u, win.boxes.shown.size());  // once, however many such rates
    EXPECT_EQ("Error", win.boxes.shown[0].caption);
    EXPECT_EQ(platform::Buttons::YesNo, win.boxes.shown[0].buttons);
    EXPECT_TRUE(program.RestoreWanted);

    win.boxes.answers = {platform::Answer::No};
    program.RestoreWanted = false;
    program.CreateMainWindow();
    EXPECT_FALSE(program.RestoreWanted);
}

TEST_F(MainWindowTest, AListOfTheWrongTypeStopsTheCreationButTheWindowOpens) {
    win.registry.SeedString(demo::DriverKey, "DALRestrictedModesBCD", "garbage");
    TForm1& form = program.CreateMainWindow();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Invalid data type for 'DALRestrictedModesBCD'", win.boxes.shown[0].text);
    EXPECT_EQ("Cadenzo 0.98 beta", form.Caption());  // done before the failing read
    EXPECT_EQ(form.lbCardType().Caption(), "Unknown - please, email to program's author...");
    EXPECT_EQ("640x480", form.Rows[0]->l.Caption());  // the grid was never filled
    EXPECT_TRUE(form.Visible());
}

}  // namespace
