// Languages: the language file's format, its loading into the main window and every other
// window and message, the language dialog, and the language files we ship.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "adapters/TForm4.h"
#include "app/Program.h"
#include "app/TForm1.h"
#include "keep/TWatch.h"
#include "lang/LanguageFile.h"
#include "lang/TForm3.h"
#include "nonstandard/TNonStRes.h"
#include "nonstandard/TNonStResAdd.h"
#include "platform/Utf8Text.h"
#include "safety/PendingChange.h"
#include "safety/TForm5.h"
#include "services/Format.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kMark = platform::Utf8Mark;

// A language file of this version: comment, version line, then the texts, lines ended by CR LF.
std::string LanguageFileOf(const std::vector<std::string>& texts) {
    std::string file = "; a comment\r\nVersion = 0.98 beta\r\n";
    for (const std::string& text : texts)
        file += text + "\r\n";
    return file;
}

// Texts "T1" to "Tn".
std::vector<std::string> NumberedTexts(int count) {
    std::vector<std::string> texts;
    for (int k = 1; k <= count; ++k)
        texts.push_back("T" + std::to_string(k));
    return texts;
}

std::string Shipped(const std::string& name) {
    std::ifstream in(std::string(CADENZO_LANGUAGE_FILES) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        auto byte = static_cast<unsigned char>(text[at]);
        std::size_t more = byte < 0x80         ? 0
                           : (byte >> 5) == 6  ? 1
                           : (byte >> 4) == 14 ? 2
                           : (byte >> 3) == 30 ? 3
                                               : 4;
        if (more == 4 || at + more >= text.size() + (more ? 0 : 1)) return false;
        for (std::size_t i = 1; i <= more; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        }
        at += more + 1;
    }
    return true;
}

TEST(LanguageFileTest, LinesEndAtCarriageReturnsAndCommentsAndEmptyLinesDoNotCount) {
    std::string longLine(100000, 'x');
    LanguageLines file = ReadLanguageLines(
        "; comment\r\n\r\nVersion = 0.98 beta\r\none\rtwo\nstill two\r\n ;a text\r\n  \r\n" +
        longLine +
        "\r\n;\r\nlast\x1A"
        "after the end\r\n");
    EXPECT_FALSE(file.utf8);
    EXPECT_EQ((std::vector<std::string>{"Version = 0.98 beta", "one", "two\nstill two", " ;a text",
                                        "  ", longLine, "last"}),
              file.lines);
    EXPECT_TRUE(HasRightVersion(file));
}

TEST(LanguageFileTest, TheVersionLineIsExactlyTheVersionAfterTenCharacters) {
    auto right = [](const std::string& bytes) { return HasRightVersion(ReadLanguageLines(bytes)); };
    EXPECT_TRUE(
        right("0123456789"
              "0.98 beta\r\n"));
    EXPECT_TRUE(
        right("0123456789"
              "0.98 beta"));  // no line end at the end of the file
    EXPECT_FALSE(
        right("0123456789"
              "0.98 beta \r\n"));
    EXPECT_FALSE(
        right("0123456789"
              "0.98 Beta\r\n"));
    EXPECT_FALSE(right("Version = 0.97 beta\r\n"));
    EXPECT_FALSE(right("0.98 beta\r\n"));  // ten characters or fewer never match
    EXPECT_FALSE(right("Version = 0.98 beta\nCadenzoEn.chm\n"));  // line feeds only: one line
    EXPECT_FALSE(right("; nothing but comments\r\n\r\n"));        // no version line at all
    EXPECT_FALSE(right(""));
}

TEST(LanguageFileTest, AFileWithTheUtf8MarkIsReadAsUtf8) {
    // Ten characters in Cyrillic (twenty bytes) before the version.
    LanguageLines file =
        ReadLanguageLines(std::string(kMark) +
                          "; комментарий\r\nВерсия ПО 0.98 beta\r\nCadenzoEn.chm\r\n"
                          "Русский\r\n");
    EXPECT_TRUE(file.utf8);
    ASSERT_EQ(3u, file.lines.size());
    EXPECT_TRUE(HasRightVersion(file));
    // Marked where it is beyond ASCII, so that the display converts it as UTF-8; a file name
    // stays usable.
    EXPECT_EQ(std::string(kMark) + "Русский", file.AsText(file.lines[2]));
    EXPECT_EQ("CadenzoEn.chm", file.AsText(file.lines[1]));
    // Without the mark the same bytes are ANSI: twenty characters before the version.
    EXPECT_FALSE(HasRightVersion(ReadLanguageLines("Версия ПО 0.98 beta\r\n")));
}

TEST(LanguageFileTest, TheDialogListsTheNameAndTheLastLineOfAFileOfThisVersion) {
    auto entry = [](const std::string& bytes) {
        return LanguageListEntry(ReadLanguageLines(bytes));
    };
    EXPECT_EQ("Deutsch [Hans]",
              entry("Version = 0.98 beta\r\nhelp.chm\r\nDeutsch\r\nText 3\r\nHans\r\n"));
    // Empty lines between the texts shift nothing.
    EXPECT_EQ("Deutsch [Hans]",
              entry("Version = 0.98 beta\r\n\r\nhelp.chm\r\n\r\nDeutsch\r\n\r\nHans\r\n"));
    // The name is taken only after its own line's entry was formed.
    EXPECT_EQ(" [Deutsch]", entry("Version = 0.98 beta\r\nhelp.chm\r\nDeutsch\r\n"));
    EXPECT_EQ(" [Version = 0.98 beta]", entry("Version = 0.98 beta\r\n"));
    EXPECT_FALSE(entry("Version = 0.98 Beta\r\nhelp.chm\r\nDeutsch\r\nHans\r\n"));
    EXPECT_EQ(std::string(kMark) + "Русский [Иван]",
              entry(std::string(kMark) + "Version = 0.98 beta\r\nh\r\nРусский\r\nИван\r\n"));
}

class LanguageTest : public demo::ProgramTest {
protected:
    void SetUp() override { app.SetTitle("Cadenzo"); }
    void Install(const std::string& name, const std::string& bytes) {
        win.files.Put(win.system.currentDirectory + "\\" + name, bytes);
    }
    // Stored as the language dialog stores it: the bytes alone.
    void Choose(const std::string& name) {
        win.registry.Seed(SettingsKey, "LangFileName", platform::RegSz,
                          std::vector<std::uint8_t>(name.begin(), name.end()));
    }
    TForm3& OpenDialog() {
        program.Form1().FindMenuItem("Language1")->Click();
        return static_cast<TForm3&>(*program.Dialogs().back());
    }
    std::optional<std::string> StoredName() {
        auto value = win.registry.Value(SettingsKey, "LangFileName");
        if (!value) return std::nullopt;
        return std::string(value->data.begin(), value->data.end());
    }
};

TEST_F(LanguageTest, NoFileNamedMeansTheBuiltInTextsWithoutAMessage) {
    program.CreateMainWindow();
    EXPECT_EQ("", program.language.LanguageFile);
    for (std::string stored : {std::string(), std::string(1, '\0')}) {
        Choose(stored);
        TForm1& form = program.CreateMainWindow();
        EXPECT_FALSE(program.language.LanguageActive);
        EXPECT_EQ("", program.language.LanguageFile);
        EXPECT_EQ("Refresh Rates:", form.gbRefresh.Caption());
    }
    EXPECT_TRUE(win.boxes.shown.empty());
}

TEST_F(LanguageTest, AFileThatCannotBeUsedIsSaidAndTheBuiltInTextsStay) {
    Choose("Missing.lng");
    TForm1& missing = program.CreateMainWindow();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Can't open Missing.lng", win.boxes.shown[0].text);  // without the directory
    EXPECT_EQ("Error", win.boxes.shown[0].caption);
    EXPECT_EQ("Missing.lng", program.language.LanguageFile);  // kept, to be stored back
    EXPECT_EQ("Cancel", missing.Cancel.Caption());

    Install("Locked.lng", LanguageFileOf(NumberedTexts(80)));
    win.files.MakeUnreadable(win.system.currentDirectory + "\\Locked.lng");
    Choose("Locked.lng");
    program.CreateMainWindow();
    EXPECT_EQ("Can't open Locked.lng", win.boxes.shown.back().text);

    for (const std::string& bytes :
         {std::string("Version = 0.98 beta \r\nx\r\n"),
          std::string("Version = 0.98 beta\nCadenzoEn.chm\nEnglish\n"), std::string()}) {
        Install("Wrong.lng", bytes);
        Choose("Wrong.lng");
        TForm1& form = program.CreateMainWindow();
        EXPECT_EQ("Wrong version of LNG File", win.boxes.shown.back().text);
        EXPECT_EQ("Error", win.boxes.shown.back().caption);
        EXPECT_FALSE(program.language.LanguageActive);
        EXPECT_EQ("Cancel", form.Cancel.Caption());
    }
    EXPECT_EQ(5u, win.boxes.shown.size());
}

TEST_F(LanguageTest, AnAcceptedFileReplacesTheMainWindowsTextsButNotItsTitle) {
    std::vector<std::string> texts = NumberedTexts(80);
    texts.push_back("the credit");
    Install("Numbered.lng", LanguageFileOf(texts));
    Choose("Numbered.lng");
    TForm1& form = program.CreateMainWindow();
    EXPECT_TRUE(win.boxes.shown.empty());
    ASSERT_TRUE(program.language.LanguageActive);
    EXPECT_EQ("the credit", program.language.LanguageTexts[80]);
    EXPECT_EQ("Cadenzo 0.98 beta", form.Caption());
    EXPECT_EQ("T3", form.gbRefresh.Caption());
    EXPECT_EQ("T5", form.gbAdvanced.Caption());
    const std::pair<const char*, const char*> captions[] = {
        {"gbAdInfo", "T4"},       {"gbDriver", "T6"},    {"OK", "T7"},
        {"Cancel", "T8"},         {"Help", "T9"},        {"bAdapter", "T10"},
        {"bReport", "T11"},       {"Label1", "T12"},     {"Label31", "T13"},
        {"Label33", "T14"},       {"cbAnisoD3D", "T15"}, {"cbBlockWrite", "T16"},
        {"cbLCD", "T17"},         {"cbDDC2", "T18"},     {"cbDMACopy", "T19"},
        {"cbProjector", "T20"},   {"cbRotation", "T21"}, {"About", "About..."},
        {"Label28", "Vendor ID:"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(caption, form.FindControl(name)->Caption()) << name;
    const std::pair<const char*, const char*> hints[] = {
        {"Label1", "T42"},   {"Label31", "T43"},    {"Label35", "T44"},     {"Label33", "T45"},
        {"cbOpenGL", "T46"}, {"cbDirect3D", "T47"}, {"cbProjector", "T48"}, {"cbRotation", "T49"}};
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(hint, form.FindControl(name)->Hint()) << name;
    std::vector<std::string> menu;
    for (const auto& top : form.Menu().Items()) {
        menu.push_back(top->Caption());
        for (const auto& item : top->Items())
            menu.push_back("  " + item->Caption());
    }
    // The texts carried by number, which this file lacks, show in English.
    EXPECT_EQ((std::vector<std::string>{"T50", "  T73", "  T53", "  T54", "  Export Settings...",
                                        "  Import Settings...", "  T55", "  T56", "T51", "  T57",
                                        "  T58", "  T59", "  Keep rates after driver updates",
                                        "T52", "  T60", "  T61"}),
              menu);
}

TEST_F(LanguageTest, EachLoadStartsFromAnEmptyTableAndLinesPastTheLastSlotAreIgnored) {
    Install("Long.lng", LanguageFileOf(NumberedTexts(105)));
    Choose("Long.lng");
    program.CreateMainWindow();
    EXPECT_EQ("T100", program.language.LanguageTexts[99]);
    EXPECT_TRUE(win.boxes.shown.empty());

    Install("Short.lng", LanguageFileOf(NumberedTexts(10)));
    // Stored by another tool, with a terminator: the same file.
    win.registry.SeedString(SettingsKey, "LangFileName", "Short.lng");
    TForm1& form = program.CreateMainWindow();
    EXPECT_EQ("T10", program.language.LanguageTexts[9]);
    EXPECT_EQ("", program.language.LanguageTexts[10]);  // no leftover of the longer file
    EXPECT_EQ("", program.language.LanguageTexts[99]);
    EXPECT_EQ("", form.FindControl("cbRotation")->Caption());  // missing texts are empty
}

// Texts added after the first 80 come by number; a file written for the 80 alone still works,
// its credit showing as no new text, and a text it lacks shows in English.
TEST_F(LanguageTest, TextsFrom101UpAreNamedByNumberAndShowInEnglishWhereAFileLacksThem) {
    std::vector<std::string> texts = NumberedTexts(80);
    texts.push_back("Hans Muster");
    Install("Old.lng", LanguageFileOf(texts));
    Choose("Old.lng");
    program.CreateMainWindow();
    ASSERT_TRUE(program.language.LanguageActive);
    EXPECT_EQ("T80", program.language.Text(TextId::FirstRunCaption));
    EXPECT_EQ(BuiltInText(TextId::OutdatedWindow), program.language.Text(TextId::OutdatedWindow));
    EXPECT_TRUE(program.language.NamedTexts.empty());

    texts = NumberedTexts(80);
    for (const char* line : {"102=Fehler", "9999=unknown", "0101=Neu", "100=not by number", "=x",
                             "12345=too long", "Hans Muster"})
        texts.push_back(line);
    Install("New.lng", LanguageFileOf(texts));
    Choose("New.lng");
    program.CreateMainWindow();
    EXPECT_EQ("Neu", program.language.Text(TextId::OutdatedWindow));  // leading zero: still 101
    EXPECT_EQ("Fehler", program.language.Text(TextId::OutdatedWindowCaption));
    EXPECT_EQ((std::map<int, std::string>{{101, "Neu"}, {102, "Fehler"}, {9999, "unknown"}}),
              program.language.NamedTexts);
    // Numbered lines count as lines: the dialog's credit is still the last one.
    EXPECT_EQ("T2 [Hans Muster]", LanguageListEntry(ReadLanguageLines(LanguageFileOf(texts))));
    // A numbered line among the first 80 is a text in its place.
    texts[4] = "101=early";
    Install("New.lng", LanguageFileOf(texts));
    program.CreateMainWindow();
    EXPECT_EQ("101=early", program.language.LanguageTexts[4]);
    EXPECT_EQ("Neu", program.language.Text(TextId::OutdatedWindow));
}

TEST_F(LanguageTest, TheDialogListsTheInstallDirectoryAndStoresTheChoice) {
    InstallInProgramFiles();
    std::vector<std::string> german = NumberedTexts(80);
    german[1] = "Deutsch";
    german.push_back("Hans");
    Install("Deutsch.lng", LanguageFileOf(german));
    Install("Old.lng", "Version = 0.97 beta\r\nhelp.chm\r\nAlt\r\nHans\r\n");
    Install("Broken.lng", LanguageFileOf(NumberedTexts(3)));
    win.files.MakeUnreadable(win.system.currentDirectory + "\\Broken.lng");
    program.CreateMainWindow().Paint();
    // Started from elsewhere later: a file there would not be found at load, so it is not
    // offered.
    win.system.currentDirectory = "C:\\Users\\Quillon";
    win.files.Put("C:\\Users\\Quillon\\Elsewhere.lng", LanguageFileOf(NumberedTexts(3)));

    TForm3& dialog = OpenDialog();
    EXPECT_EQ("Select Language", dialog.Caption());
    EXPECT_EQ((ui::Rect{0, 0, 200, 190}), dialog.Place());
    EXPECT_TRUE(dialog.StayOnTop());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ((std::vector<std::string>{"English [Quillon]", "Deutsch [Hans]"}),
              dialog.lbLang.Items());
    EXPECT_TRUE(win.boxes.shown.empty());  // the wrong version and the unreadable file silently

    // A file added later is listed first by a newer dialog; the older one keeps its own list.
    win.files.Put("C:\\Program Files\\Cadenzo\\Aaa.lng", LanguageFileOf(NumberedTexts(3)));
    TForm3& cancelled = OpenDialog();
    EXPECT_EQ("T2 [T3]", cancelled.lbLang.Items()[1]);
    EXPECT_NE(&dialog, &cancelled);
    cancelled.lbLang.UserPicked(1);
    cancelled.bCancel.Click();
    EXPECT_FALSE(cancelled.Visible());
    EXPECT_FALSE(StoredName());

    TForm1& first = program.Form1();
    std::size_t exports = regedit.exported.size();
    dialog.lbLang.UserPicked(1);
    dialog.bOK.Click();
    EXPECT_EQ(std::string("Deutsch.lng\0", 12), StoredName());
    EXPECT_FALSE(dialog.Visible());
    ASSERT_NE(&first, &program.Form1());
    EXPECT_EQ("T3", program.Form1().gbRefresh.Caption());  // the new window loaded it
    EXPECT_EQ("Refresh Rates:", first.gbRefresh.Caption());
    EXPECT_EQ(exports, regedit.exported.size());  // no first-paint actions again

    for (int line : {0, -1}) {  // the built-in English, or nothing chosen
        TForm3& english = OpenDialog();
        english.lbLang.UserPicked(line);
        english.bOK.Click();
        EXPECT_EQ(std::string(1, '\0'), StoredName());
        EXPECT_EQ("Refresh Rates:", program.Form1().gbRefresh.Caption());
        EXPECT_FALSE(program.language.LanguageActive);
    }
}

TEST_F(LanguageTest, OtherWindowsTakeTheirTextsWhenTheyAreCreated) {
    Install("Russian.lng", Shipped("Russian.lng"));
    Choose("Russian.lng");
    program.CreateMainWindow();
    program.Form1().FindMenuItem("Adapter1")->Click();
    auto& adapters = static_cast<TForm4&>(*program.Dialogs().back());
    EXPECT_EQ(std::string(kMark) + "Выбор адаптера", adapters.Caption());
    EXPECT_EQ(std::string(kMark) + "Отмена", adapters.bExit.Caption());
    EXPECT_EQ("OK", adapters.bOK.Caption());

    TForm5& check = program.CreateCheckWindow();
    EXPECT_EQ(std::string(kMark) + "Cadenzo - проверка видеорежимов...", check.Caption());
    // The count-down joins the language's words and the number: one mark, at the start.
    check.Timer1.Tick();
    EXPECT_EQ(std::string(kMark) +
                  "Минимальная частота обновления будет выбрана автоматически через 14 сек.",
              check.Label2.Caption());

    // The report names the file in use and says so in its words, whether it worked or not.
    program.Form1().FindMenuItem("CreateReport1")->Click();
    EXPECT_EQ(0u, win.files.Contents("Cadenzo.rpt")
                      .value_or("")
                      .find("Cadenzo Version 0.98 beta report file [Lang:1(Russian.lng)]\r\n"));
    EXPECT_EQ(std::string(kMark) + "Отчёт сохранён в Cadenzo.rpt", win.boxes.shown.back().text);
    EXPECT_EQ(std::string(kMark) + "Отчёт создан", win.boxes.shown.back().caption);
    win.files.DenyWrites(win.system.currentDirectory);
    program.Form1().FindMenuItem("CreateReport1")->Click();
    EXPECT_EQ(program.language.LanguageTexts[29], win.boxes.shown.back().text);
    EXPECT_EQ(program.language.LanguageTexts[30], win.boxes.shown.back().caption);
    EXPECT_NE(program.language.LanguageTexts[29], "Can't create temporaly file");
}

TEST(ShippedLanguageFilesTest, EnglishIsTheBuiltInTextsAndRussianTranslatesEveryOne) {
    for (const char* name : {"English.lng", "Russian.lng"}) {
        SCOPED_TRACE(name);
        LanguageLines file = ReadLanguageLines(Shipped(name));
        ASSERT_TRUE(HasRightVersion(file));
        // The version, the texts in their places and by number, the credit.
        ASSERT_EQ(1u + std::size(TextTable) + 1u, file.lines.size());
        for (const std::string& line : file.lines)
            EXPECT_FALSE(line.empty());
    }
    LanguageLines english = ReadLanguageLines(Shipped("English.lng"));
    EXPECT_FALSE(english.utf8);
    for (const TextSlot& slot : TextTable) {
        int k = SlotOf(slot.id);
        if (k == SlotOf(TextId::LanguageName)) continue;  // it has no built-in text
        if (k <= LastPlacedText) {
            EXPECT_EQ(slot.builtIn, english.lines[k]) << slot.name;
        } else {
            EXPECT_NE(english.lines.end(), std::find(english.lines.begin(), english.lines.end(),
                                                     std::to_string(k) + "=" + slot.builtIn))
                << slot.name;
        }
    }
    std::string russian = Shipped("Russian.lng");
    EXPECT_TRUE(platform::IsUtf8Marked(russian));
    EXPECT_TRUE(IsValidUtf8(russian));
    EXPECT_EQ(std::string(kMark) + "Русский [Korvex]",
              LanguageListEntry(ReadLanguageLines(russian)));
}

TEST_F(LanguageTest, TheEnglishFileShowsTheMainWindowAsBuiltIn) {
    TForm1& builtIn = program.CreateMainWindow();
    Install("English.lng", Shipped("English.lng"));
    Choose("English.lng");
    TForm1& english = program.CreateMainWindow();
    ASSERT_TRUE(program.language.LanguageActive);
    for (const char* name :
         {"gbRefresh", "gbAdInfo",   "gbAdvanced",   "gbDriver",  "OK",      "Cancel",
          "Help",      "bAdapter",   "bReport",      "Label1",    "Label31", "Label33",
          "Label35",   "cbAnisoD3D", "cbBlockWrite", "cbLCD",     "cbDDC2",  "cbDMACopy",
          "cbOpenGL",  "cbDirect3D", "cbProjector",  "cbRotation"}) {
        EXPECT_EQ(builtIn.FindControl(name)->Caption(), english.FindControl(name)->Caption())
            << name;
        EXPECT_EQ(builtIn.FindControl(name)->Hint(), english.FindControl(name)->Hint()) << name;
    }
    for (std::size_t top = 0; top < builtIn.Menu().Items().size(); ++top) {
        const auto& a = *builtIn.Menu().Items()[top];
        const auto& b = *english.Menu().Items()[top];
        EXPECT_EQ(a.Caption(), b.Caption());
        for (std::size_t i = 0; i < a.Items().size(); ++i)
            EXPECT_EQ(a.Items()[i]->Caption(), b.Items()[i]->Caption());
    }
}

// A pseudo-language: text k of the file is "<k>" and the built-in text of slot k, so that every
// caption, hint and message shows which slot it took. Each window is opened once in English and
// once in the pseudo-language, and compared control by control.
class PseudoLanguageTest : public LanguageTest {
protected:
    static std::string Pseudo(TextId id) {
        return "<" + std::to_string(SlotOf(id)) + ">" + BuiltInText(id);
    }

    static std::string PseudoFile() {
        std::string file = "Version = 0.98 beta\r\n";
        for (const TextSlot& slot : TextTable) {
            std::string text = slot.id == TextId::LanguageName ? "<2>Pseudo" : Pseudo(slot.id);
            if (SlotOf(slot.id) > LastPlacedText)
                text = std::to_string(SlotOf(slot.id)) + "=" + text;
            file += text + "\r\n";
        }
        return file + "the credit\r\n";
    }

    // A text the pseudo-language shows where English shows `english`: the same when it is no
    // language text, else the marked form of the slot whose built-in text it is.
    void Compare(const std::string& english, const std::string& shown, const std::string& where) {
        if (shown == english) {
            for (const TextSlot& slot : TextTable) {
                EXPECT_TRUE(english.empty() || english != slot.builtIn)
                    << where << " still shows the built-in text of " << slot.name;
            }
            return;
        }
        std::size_t close = shown.find('>');
        ASSERT_TRUE(shown[0] == '<' && close != std::string::npos) << where << ": " << shown;
        int k = std::stoi(shown.substr(1, close - 1));
        EXPECT_EQ(Pseudo(static_cast<TextId>(k)), shown) << where;
        EXPECT_EQ(english, BuiltInText(static_cast<TextId>(k))) << where << " shows text " << k;
        ++seen[k];
    }

    // `except`: a control whose text joins several, checked on its own.
    void CompareWindows(ui::Control& english, ui::Control& shown, const std::string& except = "") {
        ASSERT_EQ(english.Children().size(), shown.Children().size()) << shown.Name();
        if (shown.Name() == except) return;
        Compare(english.Caption(), shown.Caption(), shown.Name());
        Compare(english.Hint(), shown.Hint(), shown.Name() + " (hint)");
        for (std::size_t i = 0; i < english.Children().size(); ++i)
            CompareWindows(*english.Children()[i], *shown.Children()[i], except);
    }

    void CompareMenus(TForm1& english, TForm1& shown) {
        for (std::size_t top = 0; top < english.Menu().Items().size(); ++top) {
            const ui::MenuItem& a = *english.Menu().Items()[top];
            const ui::MenuItem& b = *shown.Menu().Items()[top];
            Compare(a.Caption(), b.Caption(), b.Name());
            for (std::size_t i = 0; i < a.Items().size(); ++i)
                Compare(a.Items()[i]->Caption(), b.Items()[i]->Caption(), b.Items()[i]->Name());
        }
    }

    // The last message shows these two slots (or a fixed caption).
    void ExpectMessage(TextId text, const std::string& caption) {
        ASSERT_FALSE(win.boxes.shown.empty());
        EXPECT_EQ(Pseudo(text), win.boxes.shown.back().text);
        EXPECT_EQ(caption, win.boxes.shown.back().caption);
        ++seen[SlotOf(text)];
        if (caption[0] == '<') ++seen[std::stoi(caption.substr(1))];
    }

    template <typename Window>
    Window& Newest() {
        return static_cast<Window&>(*program.Dialogs().back());
    }

    template <typename Action>
    void UntilTheEnd(Action action) {
        EXPECT_THROW(action(), platform::ProcessEnded);
    }

    std::map<int, int> seen;  // how often each slot was shown
};

TEST_F(PseudoLanguageTest, EveryWindowAndMessageShowsItsOwnSlot) {
    InstallInProgramFiles();
    Bytes info(12, 0), maxModeInfo(20, 0);
    info[8] = maxModeInfo[16] = 75;  // the control panel's maximum, below the rate chosen later
    win.registry.Seed(demo::DriverKey, "DALR6 CRT_Info", platform::RegBinary, info);
    win.registry.Seed(demo::DriverKey, "DALR6 CRT_MaxModeInfo", platform::RegBinary, maxModeInfo);
    TForm1& english = program.CreateMainWindow();
    english.FindMenuItem("Adapter1")->Click();
    TForm4& englishAdapters = Newest<TForm4>();
    english.FindMenuItem("Resolutions1")->Click();
    TNonStRes& englishList = Newest<TNonStRes>();
    englishList.bAdd.Click();
    const LanguageState builtIn;
    TForm5 englishCheck(app, os, builtIn, demo::DeviceName);
    englishCheck.FormCreate();

    win.registry.DeleteKeyTree(SettingsKey);  // no first run yet
    // A change that the check undid unconfirmed: said at the first paint.
    win.registry.SeedString(SettingsKey, "UnconfirmedChange", "2026-12-07 22:05");
    Install("Pseudo.lng", PseudoFile());
    Choose("Pseudo.lng");
    // A rate the driver refuses but the display offers: asked at every start.
    win.registry.Seed(demo::DriverKey, "DALRestrictedModesBCD", platform::RegBinary,
                      {0x10, 0x24, 0x07, 0x68, 0, 0, 0, 0x60});
    win.boxes.answers = {platform::Answer::No, platform::Answer::No};
    TForm1& form = program.CreateMainWindow();
    ASSERT_TRUE(program.language.LanguageActive);
    ExpectMessage(TextId::UndisabledQuestion, Pseudo(TextId::UndisabledCaption));
    CompareWindows(english, form);
    CompareMenus(english, form);
    UntilTheEnd([&] { form.Paint(); });
    ExpectMessage(TextId::FirstRunQuestion, Pseudo(TextId::FirstRunCaption));
    const auto& undone = win.boxes.shown[win.boxes.shown.size() - 2];
    EXPECT_EQ(
        "<103>The display settings changed on 2026-12-07 22:05 were not confirmed after the "
        "restart, so Cadenzo has put back the settings from before that change.",
        undone.text);
    EXPECT_EQ(Pseudo(TextId::UnconfirmedChangeCaption), undone.caption);
    ++seen[SlotOf(TextId::UnconfirmedChangeUndone)];
    ++seen[SlotOf(TextId::UnconfirmedChangeCaption)];

    form.FindMenuItem("Adapter1")->Click();
    CompareWindows(englishAdapters, Newest<TForm4>());
    form.FindMenuItem("Resolutions1")->Click();
    TNonStRes& list = Newest<TNonStRes>();
    CompareWindows(englishList, list);
    list.bAdd.Click();
    CompareWindows(*englishList.AddWindows().back(), *list.AddWindows().back());
    TForm5 check(app, os, program.language, demo::DeviceName);
    check.FormCreate();
    CompareWindows(englishCheck, check, "Label2");
    EXPECT_EQ(Pseudo(TextId::CheckMinimalPrefix) + " 15 " + Pseudo(TextId::CheckSeconds),
              check.Label2.Caption());
    check.bCancel.Click();  // the second phase
    englishCheck.bCancel.Click();
    CompareWindows(englishCheck, check, "Label2");
    EXPECT_EQ(Pseudo(TextId::CheckRestorePrefix) + " 15 " + Pseudo(TextId::CheckSeconds),
              check.Label2.Caption());
    for (TextId id : {TextId::CheckMinimalPrefix, TextId::CheckRestorePrefix, TextId::CheckSeconds})
        ++seen[SlotOf(id)];

    form.FindMenuItem("Language1")->Click();
    EXPECT_EQ("<2>Pseudo [the credit]", Newest<TForm3>().lbLang.Items()[1]);
    ++seen[SlotOf(TextId::LanguageName)];
    form.FindMenuItem("Contens1")->Click();
    EXPECT_EQ("\"C:\\Program Files\\Cadenzo\\" + Pseudo(TextId::HelpFile) + "\"",
              win.shell.started.back().launch.parameters);
    ++seen[SlotOf(TextId::HelpFile)];

    win.boxes.answers = {platform::Answer::No};
    static_cast<ui::CheckBox&>(form.Named("cbDDC2"))
        .UserClick();  // a switch whose value is missing
    ExpectMessage(TextId::CreateValueQuestion, "?");
    form.FindMenuItem("CreateReport1")->Click();
    ExpectMessage(TextId::ReportSaved, Pseudo(TextId::ReportSavedCaption));

    // OK beyond a monitor that stops at 80 Hz and above the control panel's maximum, and a
    // restart that fails.
    std::vector<std::uint8_t> edid = demo::CrtBlock();
    edid[78] = 80;
    demo::SeedMonitor(win, demo::Summed(edid));
    form.Rows[2]->ComboBox.SetText("85");
    win.boxes.answers = {platform::Answer::Yes, platform::Answer::Yes};
    win.system.exitWindowsWorks = false;
    UntilTheEnd([&] { form.OK.Click(); });
    std::size_t shown = win.boxes.shown.size();
    ASSERT_GE(shown, 4u);
    EXPECT_EQ(FormatText(Pseudo(TextId::MonitorLimitsIntro), "Cadenzo CRT") +
                  "\r\n1024x768, 85 Hz: 85 Hz > 80 Hz\r\n\r\n" +
                  Pseudo(TextId::MonitorLimitsQuestion),
              win.boxes.shown[shown - 4].text);
    EXPECT_EQ(Pseudo(TextId::MonitorLimitsCaption), win.boxes.shown[shown - 4].caption);
    for (TextId id :
         {TextId::MonitorLimitsIntro, TextId::MonitorLimitsQuestion, TextId::MonitorLimitsCaption})
        ++seen[SlotOf(id)];
    EXPECT_EQ(Pseudo(TextId::MaxRateWarning), win.boxes.shown[shown - 3].text);
    EXPECT_EQ(Pseudo(TextId::MaxRateCaption), win.boxes.shown[shown - 3].caption);
    EXPECT_EQ(Pseudo(TextId::RestartQuestion), win.boxes.shown[shown - 2].text);
    EXPECT_EQ(Pseudo(TextId::RestartCaption), win.boxes.shown[shown - 2].caption);
    for (TextId id : {TextId::MaxRateWarning, TextId::MaxRateCaption, TextId::RestartQuestion,
                      TextId::RestartCaption})
        ++seen[SlotOf(id)];
    ExpectMessage(TextId::RestartFailed, Pseudo(TextId::RestartFailedCaption));

    // The watch's window, and OK while another Cadenzo writes.
    WatchResult lost;
    lost.lost = {"1024x768, 85 Hz"};
    lost.switchesChanged = true;
    lost.driverBefore = "6.14.10.6396";
    lost.driverNow = "6.14.10.6467";
    TWatch englishWatch(app, os, builtIn, lost, [] {});
    TWatch watch(app, os, program.language, lost, [] {});
    CompareWindows(englishWatch, watch, "lDriver");
    EXPECT_EQ("<113>Display driver before: 6.14.10.6396, now: 6.14.10.6467",
              watch.lDriver.Caption());
    EXPECT_EQ(Pseudo(TextId::WatchSwitchesLost), watch.lbLost.Items()[1]);
    for (TextId id : {TextId::WatchDriverChanged, TextId::WatchSwitchesLost})
        ++seen[SlotOf(id)];
    win.system.writerLockElsewhere = true;
    form.OK.Click();
    ExpectMessage(TextId::WriterBusy, Pseudo(TextId::WriterBusyCaption));
    win.system.writerLockElsewhere = false;
    // A kept record for an adapter that is not there any more, once the change OK began is
    // over (while one is pending the watch stands back).
    EndChange(program.os);
    AppliedRecord gone;
    gone.device = "PCI\\VEN_1002&DEV_5159\\elsewhere";
    WriteRecord(win.registry, AppliedKey, gone);
    EXPECT_EQ(8u, program.WatchFromCommandLine());
    ExpectMessage(TextId::WatchAdapterGone, Pseudo(TextId::WatchCaption));

    win.boxes.answers = {platform::Answer::No, platform::Answer::No};
    TForm1& last = program.CreateMainWindow();  // asks about the refused 60 Hz again
    form.OK.Click();                            // in a window whose table is gone
    ExpectMessage(TextId::OutdatedWindow, Pseudo(TextId::OutdatedWindowCaption));
    UntilTheEnd([&] { last.bRestore.Click(); });
    ExpectMessage(TextId::RestoredQuestion, Pseudo(TextId::RestoredCaption));
    win.system.safeMode = true;  // the question before the main window
    win.boxes.answers = {platform::Answer::No};
    EXPECT_FALSE(program.RestoreInSafeMode());
    ExpectMessage(TextId::SafeModeQuestion, Pseudo(TextId::SafeModeCaption));
    win.system.safeMode = false;
    win.boxes.answers = {platform::Answer::Yes};
    last.FindMenuItem("Uninstall1")->Click();
    EXPECT_EQ(Pseudo(TextId::UninstallQuestion), win.boxes.shown[win.boxes.shown.size() - 2].text);
    EXPECT_EQ(Pseudo(TextId::UninstallCaption),
              win.boxes.shown[win.boxes.shown.size() - 2].caption);
    seen[SlotOf(TextId::UninstallQuestion)]++;
    seen[SlotOf(TextId::UninstallCaption)]++;
    ExpectMessage(TextId::Uninstalled, "OK");
    win.files.DenyWrites(win.system.currentDirectory);
    last.FindMenuItem("CreateReport1")->Click();
    ExpectMessage(TextId::ReportFailed, Pseudo(TextId::ReportFailedCaption));

    // Settings profiles: the dialogs' file type, and each message under its entry's text.
    auto expectBox = [&](TextId text, const std::string& shown, TextId item, std::size_t back) {
        const platform::FakeMessageBoxes::Shown& box =
            win.boxes.shown[win.boxes.shown.size() - back];
        EXPECT_EQ(shown, box.text);
        std::string title = Pseudo(item);
        EXPECT_EQ(title.substr(0, title.size() - 3), box.caption);
        ++seen[SlotOf(text)];
    };
    const std::pair<std::string, std::string> files[] = {
        {"C:\\skips.cadenzo", "[Cadenzo]\nVersion=1\n[Resolutions]\n1600x1200=60\n1024x768=99"},
        {"C:\\notes.txt", "notes"},
        {"C:\\next.cadenzo", "[Cadenzo]\nVersion=2"}};
    for (const auto& [path, text] : files) {
        win.files.Put(path, text);
        win.dialogs.answers.push_back(path);
        last.FindMenuItem("ImportSettings1")->Click();
    }
    EXPECT_EQ(Pseudo(TextId::ProfileFiles), win.dialogs.shown.back().dialog.filterName);
    ++seen[SlotOf(TextId::ProfileFiles)];
    expectBox(TextId::ProfileSkippedResolutions,
              Pseudo(TextId::ProfileSkippedResolutions) + "\r\n1600x1200",
              TextId::ImportSettingsItem, 4);
    expectBox(TextId::ProfileUnofferedRates,
              Pseudo(TextId::ProfileUnofferedRates) + "\r\n1024x768: 99 Hz",
              TextId::ImportSettingsItem, 3);
    expectBox(TextId::NotAProfile, FormatText(Pseudo(TextId::NotAProfile), "C:\\notes.txt"),
              TextId::ImportSettingsItem, 2);
    expectBox(TextId::NewerProfile, FormatText(Pseudo(TextId::NewerProfile), "C:\\next.cadenzo"),
              TextId::ImportSettingsItem, 1);
    win.files.Lock("C:\\next.cadenzo");
    win.dialogs.answers = {"C:\\next.cadenzo", "profile.cadenzo"};
    last.FindMenuItem("ImportSettings1")->Click();
    expectBox(TextId::ProfileNotRead,
              FormatText(Pseudo(TextId::ProfileNotRead), "C:\\next.cadenzo"),
              TextId::ImportSettingsItem, 1);
    last.FindMenuItem("ExportSettings1")->Click();  // into the folder it may not write
    expectBox(TextId::ProfileNotWritten,
              FormatText(Pseudo(TextId::ProfileNotWritten), "profile.cadenzo"),
              TextId::ExportSettingsItem, 1);
    win.registry.SeedString(demo::DriverKey, "DALRestrictedModesBCD", "garbage");
    Choose("Pseudo.lng");        // again: Uninstall removed the settings
    program.CreateMainWindow();  // cut short by the error
    win.dialogs.answers = {"profile.cadenzo"};
    program.Form1().FindMenuItem("ExportSettings1")->Click();
    expectBox(TextId::ProfileIncomplete, Pseudo(TextId::ProfileIncomplete),
              TextId::ExportSettingsItem, 1);

    for (const TextSlot& slot : TextTable)
        EXPECT_TRUE(seen.count(SlotOf(slot.id))) << slot.name << " was never shown";
}

}  // namespace
