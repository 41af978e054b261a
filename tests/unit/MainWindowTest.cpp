// The main window as the program builds it: its layout, the creation sequence, the first
// paint and the menu commands.

#include <gtest/gtest.h>

#include "platform/Utf8Text.h"

#include <algorithm>

#include "about/TForm2.h"
#include "adapters/AdapterDiscovery.h"
#include "adapters/TForm4.h"
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

// The adapter dialog, opened through the menu as a person does.
class AdapterDialogTest : public MainWindowTest {
protected:
    static constexpr char kSecondKey[] =
        "System\\CurrentControlSet\\Control\\Video\\{7B2D5F10-2E3A-4C4B-8D8F-2E3F40516171}\\0000";
    void SetUp() override {
        // Device 1 is no adapter (no state flags); device 2 is a second card.
        win.display.AddDevice("\\\\.\\DISPLAY2", "", 0, "");
        win.display.AddDevice("\\\\.\\DISPLAY3", "RADEON 7000",
                              platform::DisplayDeviceAttachedToDesktop,
                              std::string("\\Registry\\Machine\\") + kSecondKey);
        win.registry.SeedKey(kSecondKey);
        // Device 3's key is not one of the machine's.
        win.display.AddDevice("\\\\.\\DISPLAY4", "Mirror", platform::DisplayDeviceAttachedToDesktop,
                              "\\Registry\\User\\Video\\0000");
        program.CreateMainWindow().Paint();
    }
    TForm4& Open() {
        program.Form1().FindMenuItem("Adapter1")->Click();
        return static_cast<TForm4&>(*program.Dialogs().back());
    }
    std::optional<std::uint32_t> Dword(const std::string& key, const char* name) {
        auto v = win.registry.Value(key, name);
        if (!v) return std::nullopt;
        return v->data[0] | v->data[1] << 8;
    }
};

TEST_F(AdapterDialogTest, ListsEveryDeviceNumberAndPresetsTheBoxesAsStored) {
    win.registry.SeedDword(demo::DriverKey, "PruningMode", 2);
    TForm4& dialog = Open();
    EXPECT_EQ("Select Adapter", dialog.Caption());
    EXPECT_EQ((ui::Rect{0, 0, 306, 190}), dialog.Place());
    EXPECT_TRUE(dialog.StayOnTop());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ((std::vector<std::string>{"RADEON 9700 PRO", "", "RADEON 7000", "Mirror"}),
              dialog.lbAdapters.Items());
    EXPECT_EQ(-1, dialog.lbAdapters.ItemIndex());
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());  // opening, only 0 checks it
    EXPECT_FALSE(dialog.cbAllways.Checked());   // as stored: nothing
    EXPECT_FALSE(dialog.cbAllways.Visible());
    dialog.lbAdapters.UserPicked(0);
    EXPECT_TRUE(dialog.cbIgnoreMC.Checked());  // a click: anything but 1 checks it
    dialog.lbAdapters.UserPicked(2);
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());  // no value there

    win.registry.SeedDword(demo::DriverKey, "PruningMode", 0);
    win.registry.SeedDword(SettingsKey, "Allways", 1);
    TForm4& again = Open();  // a new dialog each time
    EXPECT_NE(&dialog, &again);
    EXPECT_TRUE(again.cbIgnoreMC.Checked());
    EXPECT_TRUE(again.cbAllways.Checked());
}

TEST_F(AdapterDialogTest, OkStoresTheChoiceAndOpensANewMainWindowCancelStoresNothing) {
    TForm1& first = program.Form1();
    TForm4& cancelled = Open();
    cancelled.cbIgnoreMC.UserClick();
    cancelled.bExit.Click();
    EXPECT_FALSE(cancelled.Visible());
    EXPECT_FALSE(Dword(demo::DriverKey, "PruningMode"));
    EXPECT_EQ(&first, &program.Form1());

    std::size_t exports = regedit.exported.size();
    TForm4& dialog = Open();
    dialog.cbIgnoreMC.UserClick();
    dialog.bOK.Click();  // nothing selected: adapter 0
    EXPECT_EQ(0u, Dword(SettingsKey, "AdapterNum"));
    EXPECT_EQ(0u, Dword(demo::DriverKey, "PruningMode"));
    EXPECT_EQ(0u, Dword(SettingsKey, "Allways"));
    EXPECT_FALSE(dialog.Visible());
    ASSERT_NE(&first, &program.Form1());
    EXPECT_TRUE(program.Form1().Visible());
    EXPECT_EQ(platform::EdsRawMode, program.ModeEnumFlags);  // the new window read it
    EXPECT_EQ(exports, regedit.exported.size());             // no first-paint actions again

    TForm4& second = Open();
    second.lbAdapters.UserPicked(2);
    second.bOK.Click();
    EXPECT_EQ(2u, Dword(SettingsKey, "AdapterNum"));
    EXPECT_EQ(1u, Dword(kSecondKey, "PruningMode"));
    EXPECT_EQ(demo::DriverKey, program.adapter.DriverKey);  // the program stays on adapter 0
}

TEST_F(AdapterDialogTest, ADeviceNumberWithoutAnAdapterStoresNothing) {
    TForm1& first = program.Form1();
    TForm4& dialog = Open();
    dialog.lbAdapters.UserPicked(1);
    EXPECT_FALSE(dialog.cbIgnoreMC.Checked());
    dialog.bOK.Click();
    EXPECT_EQ(
        "Display device 1 has no driver key that Cadenzo can use, so nothing was stored. Choose "
        "another adapter.",
        win.boxes.shown.back().text);
    EXPECT_FALSE(win.registry.Value(SettingsKey, "AdapterNum"));
    EXPECT_TRUE(win.registry.ValueNames("").empty());  // nothing at the root of the machine
    EXPECT_TRUE(dialog.Visible());                     // the choice stays open
    EXPECT_EQ(&first, &program.Form1());
    dialog.lbAdapters.UserPicked(3);  // an adapter whose key lies outside the machine's keys
    dialog.bOK.Click();
    EXPECT_EQ(0u, win.boxes.shown.back().text.find("Display device 3 has no driver key"));
    EXPECT_FALSE(win.registry.Value(SettingsKey, "AdapterNum"));
}

// A main window opened before the adapter dialog read the modes again (here the raw ones too,
// which add 1280x960 before 1280x1024) shows rows of a table that is gone: its OK writes
// nothing, says so and closes the window; the newest window's OK still applies its own rows.
TEST_F(AdapterDialogTest, AnOlderWindowsOkAfterTheTableWasRebuiltWritesNothing) {
    win.display.devices[0].rawModes = {platform::MakeMode(1280, 960, 32, 60),
                                       platform::MakeMode(1280, 960, 32, 75)};
    demo::SeedDriverProfile(win);
    TForm1& first = program.Form1();
    TForm4& dialog = Open();
    dialog.cbIgnoreMC.UserClick();
    dialog.bOK.Click();
    TForm1& newest = program.Form1();
    ASSERT_NE(&first, &newest);
    ASSERT_EQ("1280x960", newest.Rows[3]->l.Caption());
    ASSERT_EQ("1280x1024", first.Rows[3]->l.Caption());

    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    std::size_t exports = regedit.exported.size();
    win.boxes.shown.clear();
    first.Rows[3]->ComboBox.SetText("85");
    first.OK.Click();  // the program goes on
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(0u, win.boxes.shown[0].text.find("A newer Cadenzo window has read the display modes "
                                               "again"));
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(newest.Visible());
    EXPECT_EQ(&newest, app.MainForm());  // closing it ends the program now
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
    EXPECT_EQ(exports, regedit.exported.size());
    EXPECT_EQ(60, program.ModeTable[3].Selected);  // 1280x960 kept its rate

    newest.Rows[4]->ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::No};  // no restart now
    EXPECT_THROW(newest.OK.Click(), platform::ProcessEnded);
    EXPECT_EQ(60, program.ModeTable[3].Selected);
    EXPECT_EQ(85, program.ModeTable[4].Selected);
}

}  // namespace
