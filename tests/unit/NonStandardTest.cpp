// The driver's non-standard resolutions: the four values read and written, the line and field
// texts, and the list and add/edit windows opened from the main window's menu.

#include <gtest/gtest.h>

#include "app/Program.h"
#include "app/TForm1.h"
#include "modes/DriverValues.h"
#include "nonstandard/NonStdModes.h"
#include "nonstandard/TNonStRes.h"
#include "nonstandard/TNonStResAdd.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const kBcd = NonStandardModesValues[0];
const char* const kBcd1 = NonStandardModesValues[1];
const char* const kBcd2 = NonStandardModesValues[2];
const char* const kBcd3 = NonStandardModesValues[3];

const Bytes k800x600 = {0x08, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes k1280x1024x32x85 = {0x12, 0x80, 0x10, 0x24, 0x00, 0x32, 0x00, 0x85};
const Bytes k1024x768x16 = {0x10, 0x24, 0x07, 0x68, 0x00, 0x16, 0x00, 0x00};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class NonStdValuesTest : public ::testing::Test {
protected:
    void Seed(const char* name, const Bytes& bytes) {
        win.registry.Seed(demo::DriverKey, name, platform::RegBinary, bytes);
    }
    Bytes Stored(const char* name) {
        auto value = win.registry.Value(demo::DriverKey, name);
        return value ? value->data : Bytes{0xEE};  // never a stored value
    }
    platform::FakeWindows win;
    RegistryCursor cursor{win.registry};
    NonStdModeList modes;
    bool changed = false;
};

TEST_F(NonStdValuesTest, LoadMergesTheFourValuesOnceEachInRegistryOrder) {
    win.registry.SeedKey(demo::DriverKey);
    Bytes zeroWidth = {0x00, 0x00, 0x04, 0x80, 0x00, 0x00, 0x00, 0x00};
    Seed(kBcd, Join({k800x600, zeroWidth, k1280x1024x32x85, k800x600}));
    Seed(kBcd2, Join({k1280x1024x32x85, k1024x768x16}));
    // The list ends at an entry starting with 0xFF; a trailing part of an entry is no entry.
    Seed(kBcd3, Join({{0xFF, 0x24, 0x07, 0x68, 0, 0, 0, 0}, k800x600}));
    LoadNonStdModes(cursor, demo::DriverKey, modes);
    EXPECT_EQ((NonStdModeList{{800, 600, 0, 0}, {1280, 1024, 85, 32}, {1024, 768, 0, 16}}), modes);
    // Loading again, as every opening of the list window does, adds nothing twice.
    LoadNonStdModes(cursor, demo::DriverKey, modes);
    EXPECT_EQ(3u, modes.size());

    NonStdModeList partial;
    Seed(kBcd, Join({k1024x768x16, {0x06, 0x40, 0x04, 0x80}}));
    ReadNonStdModes(cursor, demo::DriverKey, kBcd, partial);
    EXPECT_EQ((NonStdModeList{{1024, 768, 0, 16}}), partial);
}

TEST_F(NonStdValuesTest, AValueOfTheWrongTypeStopsTheReadingKeepingWhatWasMerged) {
    Seed(kBcd, k800x600);
    win.registry.SeedDword(demo::DriverKey, kBcd1, 5);
    Seed(kBcd2, k1024x768x16);
    try {
        LoadNonStdModes(cursor, demo::DriverKey, modes);
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ("Invalid data type for 'DALNonStandardModesBCD1'", error.what());
    }
    EXPECT_EQ((NonStdModeList{{800, 600, 0, 0}}), modes);
    Seed(kBcd1, Bytes(2056, 0x10));  // more than 256 entries
    EXPECT_THROW(LoadNonStdModes(cursor, demo::DriverKey, modes), RegistryError);
}

TEST_F(NonStdValuesTest, SaveWritesEveryEntryToTheFirstValueAndEmptiesTheOthers) {
    win.registry.SeedKey(demo::DriverKey);
    Seed(kBcd2, k1024x768x16);
    SaveNonStdModes(cursor, demo::DriverKey, {}, changed);
    EXPECT_TRUE(changed);
    for (const char* name : NonStandardModesValues) {
        auto value = win.registry.Value(demo::DriverKey, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(platform::RegBinary, value->type);
        EXPECT_TRUE(value->data.empty()) << name;
    }

    modes = {{1280, 1024, 85, 32}, {800, 600, 0, 0}, {1024, 768, 0, 16}};
    SaveNonStdModes(cursor, demo::DriverKey, modes, changed);
    EXPECT_EQ(Join({k1280x1024x32x85, k800x600, k1024x768x16}), Stored(kBcd));
    EXPECT_EQ(Bytes{}, Stored(kBcd3));
    NonStdModeList readBack;
    LoadNonStdModes(cursor, demo::DriverKey, readBack);
    EXPECT_EQ(modes, readBack);
}

TEST_F(NonStdValuesTest, WhatTheValuesCannotHoldOrNoDriverKeyWritesNothing) {
    EXPECT_EQ("", NonStdModesSaveProblem(NonStdModeList(256, {9999, 9999, 255, 255})));
    EXPECT_EQ(
        "The driver keeps at most 256 non-standard resolutions, and the list has 257. Nothing "
        "was saved: remove some first.",
        NonStdModesSaveProblem(NonStdModeList(257, {800, 600, 0, 0})));
    EXPECT_EQ(
        "The resolution 10000 x   600 x Any BPP x 60 has a number above 9999, which the "
        "driver's list cannot hold. Nothing was saved: edit or remove it first.",
        NonStdModesSaveProblem({{800, 600, 0, 0}, {10000, 600, 60, 0}}));

    // No adapter: neither the root of the machine's keys nor anything else is touched.
    modes = {{800, 600, 0, 0}};
    EXPECT_THROW(LoadNonStdModes(cursor, "", modes), RegistryError);
    try {
        SaveNonStdModes(cursor, "", modes, changed);
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(
            "Cadenzo cannot open the display adapter's driver key, so the non-standard "
            "resolutions were not saved. Nothing was written.",
            error.what());
    }
    win.registry.ProtectFromWrites(demo::DriverKey);
    EXPECT_THROW(SaveNonStdModes(cursor, demo::DriverKey, modes, changed), RegistryError);
    EXPECT_FALSE(changed);
    EXPECT_TRUE(win.registry.ValueNames("").empty());
    EXPECT_FALSE(win.registry.Value(demo::DriverKey, kBcd));
    EXPECT_EQ((NonStdModeList{{800, 600, 0, 0}}), modes);
}

TEST(NonStdTextsTest, LinesPadShortNumbersAndSayAny) {
    EXPECT_EQ("1280 x 1024 x 32 x 85", FormatNonStdMode({1280, 1024, 85, 32}));
    EXPECT_EQ("  800 x   600 x Any BPP x Any Refresh", FormatNonStdMode({800, 600, 0, 0}));
    EXPECT_EQ("  1 x 65535 x 8 x Any Refresh", FormatNonStdMode({1, 65535, 0, 8}));
}

TEST(NonStdTextsTest, SizeFieldsTakeOneWholeIntegerAndRefuseZero) {
    auto read = [](const std::string& text) -> int {
        std::uint16_t value = 7;
        return ReadSizeField(text, value) ? value : -1;
    };
    EXPECT_EQ(1280, read("1280"));
    EXPECT_EQ(1280, read("$500"));
    EXPECT_EQ(1280, read("0x500"));
    EXPECT_EQ(1280, read("  X500"));
    EXPECT_EQ(800, read("+800"));
    EXPECT_EQ(65535, read("-1"));    // modulo 65536
    EXPECT_EQ(4464, read("70000"));  // modulo 65536
    EXPECT_EQ(65535, read("$FFFFFFFF"));
    for (const char* refused : {"", "0", "800x", "800 ", "$", "0x", "x", "-", "65536", "12a",
                                "4294967296", "99999999999999999999", "$100000000", "2147483648"}) {
        EXPECT_EQ(-1, read(refused)) << refused;
    }
    EXPECT_EQ(0, read("-2147483648") + 1);  // the lowest 32-bit number, a multiple of 65536
}

TEST(NonStdTextsTest, DepthAndRateFieldsSayAnyOrStartWithANumber) {
    EXPECT_EQ(0, ReadAnyField(""));
    EXPECT_EQ(0, ReadAnyField("Any"));
    EXPECT_EQ(0, ReadAnyField("many 85"));
    EXPECT_EQ(85, ReadAnyField("85 Hz"));
    EXPECT_EQ(0, ReadAnyField("Hz"));
    EXPECT_EQ(44, ReadAnyField("300"));
    EXPECT_EQ(32, ReadAnyField("$20 bits"));
    EXPECT_EQ(255, ReadAnyField("-1"));
    EXPECT_EQ(0, ReadAnyField("99999999999999999999"));
}

// The windows, opened through the main window's menu as a person does. Their places are
// checked through the real windows, end to end.
class ResolutionsDialogTest : public demo::ProgramTest {
protected:
    void SetUp() override {
        app.SetTitle("Cadenzo");
        Seed(kBcd, Join({k800x600, k1280x1024x32x85}));
        Seed(kBcd2, Join({k1280x1024x32x85, k1024x768x16}));
        program.CreateMainWindow().Paint();
    }
    void Seed(const char* name, const Bytes& bytes) {
        win.registry.Seed(demo::DriverKey, name, platform::RegBinary, bytes);
    }
    TNonStRes& Open() {
        program.Form1().FindMenuItem("Resolutions1")->Click();
        return static_cast<TNonStRes&>(*program.Dialogs().back());
    }
    static TNonStResAdd& Added(TNonStRes& list) { return *list.AddWindows().back(); }
    // Types the four fields of the newest add/edit window and clicks its OK.
    static void Enter(TNonStRes& list, const char* width, const char* height, const char* bpp,
                      const char* hz) {
        TNonStResAdd& add = Added(list);
        add.eWidth.SetText(width);
        add.eHeight.SetText(height);
        add.eBpp.SetText(bpp);
        add.eHz.SetText(hz);
        add.bOK.Click();
    }
    const std::vector<std::string> kSeeded = {"  800 x   600 x Any BPP x Any Refresh",
                                              "1280 x 1024 x 32 x 85",
                                              "1024 x   768 x 16 x Any Refresh"};
};

TEST_F(ResolutionsDialogTest, BothWindowsOpenOnTopWithTheirTextsAndTakeTheLanguage) {
    TNonStRes& list = Open();
    EXPECT_EQ("Non-Standart Resolutions Mangement", list.Caption());
    EXPECT_TRUE(list.StayOnTop());
    EXPECT_TRUE(list.Visible());
    EXPECT_EQ("Non-standart Resolutions:", list.Label1.Caption());
    EXPECT_EQ(ui::Red, list.Label5.TextColor());
    EXPECT_EQ("forcing of Frequency).", list.Label5.Caption());
    EXPECT_EQ(kSeeded, list.lbRes.Items());

    list.bAdd.Click();
    TNonStResAdd& add = Added(list);
    EXPECT_TRUE(add.StayOnTop());
    EXPECT_EQ("", add.eWidth.Text());
    EXPECT_EQ("Any", add.eBpp.Text());
    EXPECT_EQ("BPP X", add.Label3.Caption());
    EXPECT_GT(add.Label3.GetFont().height, list.Label1.GetFont().height);

    program.language.LanguageActive = true;
    for (int k = 1; k <= LanguageState::TextCount; ++k)
        program.language.LanguageTexts[k - 1] = "T" + std::to_string(k);
    TNonStRes& translated = Open();
    EXPECT_EQ("T62", translated.Caption());
    EXPECT_EQ("T63", translated.Label1.Caption());
    EXPECT_EQ("T7", translated.bOK.Caption());
    EXPECT_EQ("T8", translated.BCancel.Caption());
    EXPECT_EQ("T70", translated.Label5.Caption());
    translated.bAdd.Click();
    EXPECT_EQ("T62", Added(translated).Caption());
    EXPECT_EQ("T8", Added(translated).bCancel.Caption());
    EXPECT_EQ("pixels X", Added(translated).Label1.Caption());  // no language text
}

TEST_F(ResolutionsDialogTest, AddEditAndRemoveChangeTheListAndItsLinesTogether) {
    TNonStRes& list = Open();
    list.bEdit.Click();  // nothing selected: nothing opens
    list.lbRes.UserDoubleClicked();
    EXPECT_TRUE(list.AddWindows().empty());

    list.bAdd.Click();
    Enter(list, "800x", "600", "", "");  // refused without a word; the window stays
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_TRUE(Added(list).Visible());
    EXPECT_EQ("800x", Added(list).eWidth.Text());
    Enter(list, "$500", "720", "300", "85 Hz");
    EXPECT_FALSE(Added(list).Visible());
    EXPECT_EQ("1280 x   720 x 44 x 85", list.lbRes.Items().back());
    EXPECT_EQ((NonStdMode{1280, 720, 85, 44}), program.NonStdModes.back());
    EXPECT_TRUE(program.NonStdEditing.EditMode);  // OK leaves edit mode on

    list.lbRes.SetItemIndex(1);
    list.lbRes.UserDoubleClicked();
    TNonStResAdd& edit = Added(list);
    EXPECT_EQ("1280", edit.eWidth.Text());
    EXPECT_EQ("32", edit.eBpp.Text());
    EXPECT_EQ("85", edit.eHz.Text());
    Enter(list, "1152", "864", "any", "Hz");
    EXPECT_EQ("1152 x   864 x Any BPP x Any Refresh", list.lbRes.Items()[1]);
    EXPECT_EQ((NonStdMode{1152, 864, 0, 0}), program.NonStdModes[1]);
    EXPECT_EQ(1, list.lbRes.ItemIndex());

    list.bRemove.Click();
    EXPECT_EQ(3u, list.lbRes.Items().size());
    list.bRemove.Click();  // one line a click
    EXPECT_EQ((std::vector<std::string>{kSeeded[0], kSeeded[2], "1280 x   720 x 44 x 85"}),
              list.lbRes.Items());
    EXPECT_EQ(3u, program.NonStdModes.size());
}

TEST_F(ResolutionsDialogTest, EditModeDecidesAtEachOkWhatAnOpenAddWindowDoes) {
    TNonStRes& list = Open();
    list.bAdd.Click();
    TNonStResAdd& first = Added(list);
    list.lbRes.SetItemIndex(0);
    list.bEdit.Click();  // edit mode now, with a second window open
    TNonStResAdd& second = Added(list);
    EXPECT_EQ("800", second.eWidth.Text());
    first.eWidth.SetText("640");
    first.eHeight.SetText("400");
    first.bOK.Click();  // replaces the selected entry rather than adding one
    EXPECT_EQ(3u, program.NonStdModes.size());
    EXPECT_EQ("  640 x   400 x Any BPP x Any Refresh", list.lbRes.Items()[0]);
    second.bCancel.Click();
    EXPECT_FALSE(program.NonStdEditing.EditMode);
    list.bAdd.Click();
    list.bEdit.Click();  // the selection holds: edit mode
    Added(list).bCancel.Click();
    Enter(list, "720", "480", "", "");  // cancelled edit: the earlier window adds
    EXPECT_EQ(4u, program.NonStdModes.size());
}

TEST_F(ResolutionsDialogTest, CancelKeepsChangesInMemoryOnlyAndOkSavesThemForTheRestart) {
    TNonStRes& list = Open();
    list.lbRes.SetItemIndex(0);
    list.bRemove.Click();
    list.bAdd.Click();
    Enter(list, "1600", "1200", "", "");
    list.BCancel.Click();
    EXPECT_FALSE(list.Visible());
    EXPECT_EQ(Join({k800x600, k1280x1024x32x85}), win.registry.Value(demo::DriverKey, kBcd)->data);

    // The removed entry comes back from the registry; the added one stays.
    TNonStRes& again = Open();
    EXPECT_EQ((std::vector<std::string>{kSeeded[1], kSeeded[2],
                                        "1600 x 1200 x Any BPP x Any Refresh", kSeeded[0]}),
              again.lbRes.Items());
    again.lbRes.SetItemIndex(3);
    again.bRemove.Click();
    again.bOK.Click();
    EXPECT_FALSE(again.Visible());
    EXPECT_TRUE(program.NonStdModesChanged);
    EXPECT_EQ(Join({k1280x1024x32x85, k1024x768x16, {0x16, 0x00, 0x12, 0x00, 0, 0, 0, 0}}),
              win.registry.Value(demo::DriverKey, kBcd)->data);
    EXPECT_TRUE(win.registry.Value(demo::DriverKey, kBcd2)->data.empty());
    EXPECT_EQ(3u, Open().lbRes.Items().size());  // removed and saved: gone for good

    // Nothing else changed, yet the main window's OK arms the check and asks for the restart.
    win.boxes.answers.push_back(platform::Answer::No);
    EXPECT_THROW(program.Form1().OK.Click(), platform::ProcessEnded);
    ASSERT_FALSE(win.boxes.shown.empty());
    EXPECT_EQ("All changes do not take effect until next boot. Restart?",
              win.boxes.shown.back().text);
    EXPECT_TRUE(win.registry.Value("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                   "Cadenzo - test resolution"));
}

TEST_F(ResolutionsDialogTest, ASaveTheValuesCannotHoldIsRefusedWholeAndTheWindowStays) {
    TNonStRes& list = Open();
    list.bAdd.Click();
    Enter(list, "12000", "900", "", "");
    list.bOK.Click();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ(
        "The resolution 12000 x   900 x Any BPP x Any Refresh has a number above 9999, which the "
        "driver's list cannot hold. Nothing was saved: edit or remove it first.",
        win.boxes.shown[0].text);
    EXPECT_TRUE(list.Visible());
    EXPECT_FALSE(program.NonStdModesChanged);
    EXPECT_EQ(Join({k800x600, k1280x1024x32x85}), win.registry.Value(demo::DriverKey, kBcd)->data);
    EXPECT_EQ(4u, list.lbRes.Items().size());
}

// The values after the one that failed were never read: a save would empty them.
TEST_F(ResolutionsDialogTest, AfterAValueThatCouldNotBeReadOkSavesNothing) {
    win.registry.SeedDword(demo::DriverKey, kBcd1, 5);
    TNonStRes& list = Open();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Invalid data type for 'DALNonStandardModesBCD1'", win.boxes.shown[0].text);
    list.bOK.Click();
    ASSERT_EQ(2u, win.boxes.shown.size());
    EXPECT_NE(std::string::npos, win.boxes.shown[1].text.find("Nothing was saved."));
    EXPECT_TRUE(list.Visible());
    EXPECT_FALSE(program.NonStdModesChanged);
    EXPECT_EQ(Join({k1280x1024x32x85, k1024x768x16}),
              win.registry.Value(demo::DriverKey, kBcd2)->data);
    EXPECT_EQ(platform::RegDword, win.registry.Value(demo::DriverKey, kBcd1)->type);
}

TEST_F(ResolutionsDialogTest, TwoListWindowsNeverActOnAnEntryTheyDoNotShow) {
    TNonStRes& first = Open();
    TNonStRes& second = Open();
    EXPECT_EQ(kSeeded, second.lbRes.Items());  // the second opening duplicates nothing
    second.lbRes.SetItemIndex(0);
    second.bRemove.Click();
    first.lbRes.SetItemIndex(2);
    first.bRemove.Click();  // its line 2 is gone from the list: it shows the list anew instead
    EXPECT_EQ((std::vector<std::string>{kSeeded[1], kSeeded[2]}), first.lbRes.Items());
    EXPECT_EQ(2u, program.NonStdModes.size());
    first.lbRes.SetItemIndex(1);
    first.bRemove.Click();
    EXPECT_EQ((NonStdModeList{{1280, 1024, 85, 32}}), program.NonStdModes);
}

TEST(ResolutionsWithoutAdapterTest, SayWhyAndWriteNothing) {
    platform::FakeWindows win;
    demo::SeedInstall(win);
    ui::Application app{win.boxes};
    Program program{win.Os(), app};
    program.CreateMainWindow();
    std::size_t shown = win.boxes.shown.size();
    program.Form1().FindMenuItem("Resolutions1")->Click();
    auto& list = static_cast<TNonStRes&>(*program.Dialogs().back());
    ASSERT_EQ(shown + 1, win.boxes.shown.size());
    EXPECT_EQ(
        "Cadenzo cannot open the display adapter's driver key, so the non-standard resolutions "
        "stored there cannot be read.",
        win.boxes.shown.back().text);
    list.bOK.Click();
    EXPECT_TRUE(list.Visible());
    EXPECT_FALSE(program.NonStdModesChanged);
    EXPECT_TRUE(win.registry.ValueNames("").empty());
}

}  // namespace
