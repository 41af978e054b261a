// Settings profiles: the text as written and read, its match against a mode table, and the main
// window's Export and Import on the demo machine through the Save and Open dialogs.

#include <gtest/gtest.h>

#include "app/TForm1.h"
#include "modes/RestrictedModes.h"
#include "platform/Utf8Text.h"
#include "profile/Profile.h"
#include "services/Format.h"
#include "tests/unit/DemoMachine.h"

namespace {

using profile::ReadError;
using profile::ReadProfile;

TEST(ProfileTextTest, TheReaderTakesWhatItKnowsAndKeepsEveryOtherLineOut) {
    profile::ReadResult read = ReadProfile(
        "\xEF\xBB\xBF; written by hand\n"
        "  [ cadenzo ]  \n"
        "version = 1\r\n"
        "Version=2\r"      // 4: a second version
        "[RESOLUTIONS]\n"  //
        "1024X768 = 85\n"
        "800x600=DEFAULT\n"
        "1024x768=75\n"  // a size twice: both count
        "1280x=60\n"     // 9
        "0x480=60\n"     // 10
        "640x480=256\n"  // 11
        "640x480=fast\n"
        "640x480\n"
        "[Switches]\n"
        "tiling=OFF\n"
        "Tiling=on\n"  // 16: repeats a setting
        "DDC2=yes\n"   // 17
        "AnisoDegree=16x\n"
        "AnisoDegree=0128\n"
        "Gamma=on\n"  // 20
        "[Adapter]\n"
        "VendorID=1002\n"
        "Monitor=Caf\xC3\xA9\n"  // 23: not plain ASCII
        "[Later]\n"
        "1024x768=60\n");  // 25: a section it does not know
    ASSERT_EQ(ReadError::None, read.Error);
    EXPECT_EQ(
        "[Cadenzo]\r\nVersion=1\r\n\r\n[Resolutions]\r\n1024x768=85\r\n800x600=default\r\n"
        "1024x768=75\r\n\r\n[Switches]\r\nTiling=off\r\nAnisoDegree=0128\r\n\r\n"
        "[Adapter]\r\nVendorID=1002\r\n",
        profile::WriteProfile(read.Read));
    EXPECT_EQ((std::vector<std::size_t>{4, 9, 10, 11, 12, 13, 16, 17, 18, 20, 23, 25}),
              read.Read.IgnoredLines);
}

TEST(ProfileTextTest, AFileThatIsNoProfileOrANewerOneIsRefusedWhole) {
    for (const char* text : {"", "\r\n\r\n", "Version=1\r\n[Cadenzo]\r\nVersion=1",
                             "[Resolutions]\r\n[Cadenzo]\r\nVersion=1", "[Cadenzo]\r\n1024x768=85",
                             "[Cadenzo]\r\nVersion=0", "[Cadenzo]\r\nVersion=1.0",
                             "[Cadenzo]\r\n[Resolutions]\r\nVersion=1", "MZ\x90\0\x03"}) {
        EXPECT_EQ(ReadError::NotAProfile, ReadProfile(text).Error) << '"' << text << '"';
    }
    std::string longest = "[Cadenzo]\r\nVersion=1\r\n";
    longest.resize(profile::LongestProfile, ' ');
    EXPECT_EQ(ReadError::None, ReadProfile(longest).Error);
    EXPECT_EQ(ReadError::NotAProfile, ReadProfile(longest + " ").Error);

    profile::ReadResult newer = ReadProfile("[Cadenzo]\nVersion=2\n[Resolutions]\n1024x768=85\n");
    EXPECT_EQ(ReadError::Newer, newer.Error);
    EXPECT_EQ(2, newer.Read.Version);
    EXPECT_TRUE(newer.Read.Resolutions.empty());
}

TEST(ProfileMatchTest, ResolutionsTheTableLacksAreSkippedAndRatesItDoesNotOfferKeepTheRateInForce) {
    ModeEntries inForce{{600, 800, {56, 60, 75}, 60},
                        {768, 1024, {60, 70, 85}, 70},
                        {768, 1024, {60, 75}, 75},
                        {1024, 1280, {}, NoRateLeft}};
    profile::ReadResult read = ReadProfile(
        "[Cadenzo]\nVersion=1\n[Resolutions]\n"
        "800x600=default\n1024x768=85\n1024x768=85\n1024x768=60\n1600x1200=75\n1280x1024=default\n"
        "[Switches]\nBlockWrite=off\nTiling=on\nAnisotropicFiltering=on\n");
    profile::SwitchSettings current;
    current.Switches[0] = true;  // Tiling (2) has no value in this driver
    profile::ProfileMatch match = profile::MatchProfile(read.Read, inForce, current);
    ASSERT_EQ(4u, match.Rates.size());
    EXPECT_EQ(56, match.Rates[0].Rate);  // the lowest this table offers
    EXPECT_EQ(85, match.Rates[1].Rate);
    EXPECT_EQ(2u, match.Rates[2].Entry);  // the second 1024x768 line, the second entry
    EXPECT_EQ(75, match.Rates[2].Rate);   // 85 is none of its rates
    EXPECT_EQ(3u, match.Rates[3].Entry);
    EXPECT_EQ(NoRateLeft, match.Rates[3].Rate);  // no rate at all: nothing is the lowest
    ASSERT_EQ(2u, match.Skipped.size());
    EXPECT_EQ("1024x768", profile::SizeText(match.Skipped[0]));  // a third 1024x768
    EXPECT_EQ("1600x1200", profile::SizeText(match.Skipped[1]));
    ASSERT_EQ(2u, match.Unoffered.size());
    EXPECT_EQ("1024x768: 85 Hz", profile::RateText(match.Unoffered[0]));
    EXPECT_EQ("1280x1024: default", profile::RateText(match.Unoffered[1]));
    EXPECT_EQ(std::vector<std::size_t>{2}, match.SwitchesMissingHere);
    EXPECT_TRUE(read.Read.Settings == match.Settings);
}

// The main window on the demo machine: 640x480, 800x600, 1024x768 (60 to 85 Hz, 43 Hz refused)
// and 1280x1024; every switch on but Tiling, which the driver holds at 2, and the override at 16.
class ProfileWindowTest : public demo::ProgramTest {
protected:
    void SetUp() override {
        demo::SeedDriverProfile(win);
        win.registry.SeedDword(demo::DriverKey, "DisableTiling",
                               2);  // grayed: no value the box knows
        demo::SeedMonitor(win, demo::CrtBlock());
    }
    TForm1& Open() {
        TForm1& form = program.CreateMainWindow();
        before = demo::DriverKeyContents(win.registry);
        return form;
    }
    std::string Row(TForm1& form, int k) { return form.Rows[k - 1]->ComboBox.Text(); }
    ui::CheckBox& Box(TForm1& form, const char* name) {
        return static_cast<ui::CheckBox&>(form.Named(name));
    }
    // The file chosen in the next dialog.
    void Choose(const std::string& path) { win.dialogs.answers.push_back(path); }
    void Import(TForm1& form, const std::string& path, const std::string& text) {
        win.files.Put(path, text);
        Choose(path);
        form.FindMenuItem("ImportSettings1")->Click();
    }
    void ExpectNothingWritten() {
        EXPECT_TRUE(before == demo::DriverKeyContents(win.registry));
        EXPECT_TRUE(win.shell.started.empty());  // not even a backup
    }

    demo::KeyContents before;
};

TEST_F(ProfileWindowTest, ExportWritesWhatTheWindowShowsIntoTheFileChosen) {
    TForm1& form = Open();
    form.Rows[2]->ComboBox.SetText("85");   // an edit not yet stored: exported all the same
    form.cbAnisoDegree.SetText("sixteen");  // no degree the driver reads: left out
    win.dialogs.answers = {std::nullopt};
    form.FindMenuItem("ExportSettings1")->Click();  // cancelled: nothing written
    Choose("C:\\Profiles\\home.cadenzo");
    win.files.AddDirectory("C:\\Profiles");
    form.FindMenuItem("ExportSettings1")->Click();
    ASSERT_EQ(2u, win.dialogs.shown.size());
    const platform::FileDialog& dialog = win.dialogs.shown.back().dialog;
    EXPECT_TRUE(win.dialogs.shown.back().save);
    EXPECT_EQ("Export Settings", dialog.title);
    EXPECT_EQ("Cadenzo profiles", dialog.filterName);
    EXPECT_EQ("cadenzo", dialog.extension);
    EXPECT_EQ("Cadenzo.cadenzo", dialog.fileName);
    EXPECT_EQ(
        "[Cadenzo]\r\nVersion=1\r\n\r\n"
        "[Resolutions]\r\n640x480=default\r\n800x600=default\r\n1024x768=85\r\n"
        "1280x1024=60\r\n\r\n"
        "[Switches]\r\nBlockWrite=on\r\nDrvStretchBlt=on\r\nUSWC=on\r\nVBlankFlip=on\r\nLCD=on\r\n"
        "DDC2=on\r\nDMACopy=on\r\nAnisotropicFiltering=on\r\n\r\n"
        "[Adapter]\r\nVendorID=1002\r\nDeviceID=4E44\r\nSubsystemID=0002\r\n"
        "SubsystemVendorID=1002\r\nRevision=00\r\nMonitor=Cadenzo CRT\r\n",
        win.files.Contents("C:\\Profiles\\home.cadenzo"));
    EXPECT_FALSE(win.files.Exists("C:\\Profiles\\home.cadenzo.new"));
    EXPECT_EQ(60, program.ModeTable[2].Selected);  // the table is not touched
    EXPECT_TRUE(win.boxes.shown.empty());
    ExpectNothingWritten();

    // A file it cannot replace stays as it was, and the user is told.
    win.files.Lock("C:\\Profiles\\home.cadenzo");
    Choose("C:\\Profiles\\home.cadenzo");
    form.FindMenuItem("ExportSettings1")->Click();
    EXPECT_EQ("Cadenzo could not write C:\\Profiles\\home.cadenzo. The settings were not exported.",
              win.boxes.shown.back().text);
    EXPECT_EQ("Export Settings", win.boxes.shown.back().caption);
    EXPECT_FALSE(win.files.Exists("C:\\Profiles\\home.cadenzo.new"));
    EXPECT_EQ(0u, win.files.Contents("C:\\Profiles\\home.cadenzo")->find("[Cadenzo]"));
}

TEST_F(ProfileWindowTest, ImportFillsTheGridAndSwitchesAndOnlyOkWritesThem) {
    TForm1& form = Open();
    form.Rows[0]->ComboBox.SetText("75");         // a hand edit the profile does not touch
    win.boxes.answers = {platform::Answer::Yes};  // create DisableTiling, as a click asks
    Import(form, "C:\\away.cadenzo",
           "[Cadenzo]\r\nVersion=1\r\n[Resolutions]\r\n800x600=75\r\n1024x768=85\r\n"
           "1280x1024=100\r\n1600x1200=85\r\n1920x1440=60\r\n"
           "[Switches]\r\nBlockWrite=off\r\nTiling=on\r\nAnisotropicFiltering=on\r\n"
           "AnisoDegree=128\r\n");
    EXPECT_FALSE(win.dialogs.shown.back().save);
    EXPECT_EQ("Import Settings", win.dialogs.shown.back().dialog.title);
    EXPECT_EQ("75 75 85 60",
              Row(form, 1) + " " + Row(form, 2) + " " + Row(form, 3) + " " + Row(form, 4));
    EXPECT_EQ(ui::CheckState::Unchecked, Box(form, "cbBlockWrite").State());
    EXPECT_EQ(ui::CheckState::Checked, Box(form, "cbTiling").State());
    EXPECT_EQ("128", form.cbAnisoDegree.Text());
    ASSERT_EQ(3u, win.boxes.shown.size());
    EXPECT_EQ("Registry key doesn't exists. Create it?", win.boxes.shown[0].text);
    EXPECT_EQ(
        "This adapter does not have these resolutions of the profile; they were skipped:\r\n"
        "1600x1200\r\n1920x1440",
        win.boxes.shown[1].text);
    EXPECT_EQ("Import Settings", win.boxes.shown[1].caption);
    EXPECT_EQ(
        "These rates of the profile are not offered at their resolution, which keeps the rate in "
        "force:\r\n1280x1024: 100 Hz",
        win.boxes.shown[2].text);
    ExpectNothingWritten();

    win.boxes.answers = {platform::Answer::No};  // no restart
    EXPECT_THROW(form.OK.Click(), platform::ProcessEnded);
    std::vector<std::uint8_t> selected;
    for (const ModeEntry& entry : program.ModeTable)
        selected.push_back(entry.Selected);
    EXPECT_EQ(std::vector<std::uint8_t>({75, 75, 85, 60}), selected);
    EXPECT_EQ(EncodeRestrictedModes(program.ModeTable, false, {true, true, true, true}),
              win.registry.Value(demo::DriverKey, "DALRestrictedModesBCD")->data);
    EXPECT_EQ(std::vector<std::uint8_t>({1, 0, 0, 0}),
              win.registry.Value(demo::DriverKey, "DisableBlockWrite")->data);
    EXPECT_EQ(std::vector<std::uint8_t>({0, 0, 0, 0}),
              win.registry.Value(demo::DriverKey, "DisableTiling")->data);
}

TEST_F(ProfileWindowTest, AFileThatIsNoProfileChangesNothing) {
    TForm1& form = Open();
    Import(form, "C:\\notes.txt", "1024x768=85\r\n");
    Import(form, "C:\\huge.cadenzo", "[Cadenzo]\r\nVersion=1\r\n" + std::string(1 << 20, ';'));
    win.files.Lock("C:\\huge.cadenzo");
    Choose("C:\\huge.cadenzo");
    form.FindMenuItem("ImportSettings1")->Click();
    ASSERT_EQ(3u, win.boxes.shown.size());
    EXPECT_EQ("C:\\notes.txt is not a Cadenzo settings profile. Nothing was changed.",
              win.boxes.shown[0].text);
    EXPECT_EQ("C:\\huge.cadenzo is not a Cadenzo settings profile. Nothing was changed.",
              win.boxes.shown[1].text);
    EXPECT_EQ("Cadenzo could not read C:\\huge.cadenzo. Nothing was changed.",
              win.boxes.shown[2].text);
    EXPECT_FALSE(form.SettingsChanged());
    ExpectNothingWritten();
}

TEST_F(ProfileWindowTest, AFileNameBeyondTheCodePageIsKeptInUtf8) {
    TForm1& form = Open();
    const std::string path = std::string(platform::Utf8Mark) + "C:\\Профили\\домашний.cadenzo";
    win.files.AddDirectory("C:\\Профили");
    win.dialogs.answers = {path, path};
    form.FindMenuItem("ExportSettings1")->Click();
    ASSERT_TRUE(win.files.Contents("C:\\Профили\\домашний.cadenzo"));
    form.FindMenuItem("ImportSettings1")->Click();
    EXPECT_TRUE(win.boxes.shown.empty());
    // The English text is ASCII: the message takes the name whole, in UTF-8.
    Import(form, path, "not a profile");
    EXPECT_EQ(platform::JoinText(path, " is not a Cadenzo settings profile. Nothing was changed."),
              win.boxes.shown.back().text);
    // A text of the code page (cp1251 here) and a name in UTF-8 join only where one is ASCII: the
    // other's letters beyond it show as "?".
    EXPECT_EQ("\xD4\xE0\xE9\xEB C:\\a\?\?.cadenzo",
              FormatText("\xD4\xE0\xE9\xEB %s", "\uFEFFC:\\aБЯ.cadenzo"));
    EXPECT_EQ("\uFEFFФайл C:\\a?.cadenzo", FormatText("\uFEFFФайл %s", "C:\\a\xC1.cadenzo"));
}

}  // namespace
