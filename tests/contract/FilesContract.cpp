#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/contract/ContractBackend.h"

namespace {

class FilesContract : public ::testing::Test {
protected:
    void SetUp() override { directory = backend.EnterScratchDirectory(); }
    void TearDown() override { backend.LeaveScratchDirectory(); }

    std::vector<std::string> Sorted(std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    contract::Backend& backend = contract::TheBackend();
    platform::Platform& os = backend.Os();
    platform::Files& files = os.files;
    std::string directory;
};

TEST_F(FilesContract, BytesComeBackExactly) {
    // Line ends of every kind, a NUL, bytes above 127 (Cyrillic in code page 1251) and a
    // trailing Ctrl+Z: nothing is translated on the way.
    const std::string bytes("line 1\r\nline 2\nline 3\r\0\xc0\xff\x1a", 25);
    ASSERT_TRUE(files.WriteAll("bytes.lng", bytes));
    EXPECT_EQ(files.ReadAll("bytes.lng"), bytes);

    ASSERT_TRUE(files.WriteAll("bytes.lng", "short"));
    EXPECT_EQ(files.ReadAll("bytes.lng"), "short");

    ASSERT_TRUE(files.WriteAll("empty.rpt", ""));
    EXPECT_EQ(files.ReadAll("empty.rpt"), "");
}

TEST_F(FilesContract, AppendAddsAtTheEndAndCreatesTheFile) {
    ASSERT_TRUE(files.Append("history.log", "first\r\n"));
    ASSERT_TRUE(files.Append("history.log", std::string("se\0cond\xc3\xa9\r\n", 12)));
    EXPECT_EQ(files.ReadAll("history.log"), std::string("first\r\nse\0cond\xc3\xa9\r\n", 19));
    EXPECT_TRUE(files.Append("history.log", ""));
    EXPECT_EQ(files.ReadAll("history.log")->size(), 19u);

    EXPECT_FALSE(files.Append("absent\\history.log", "x"));
    // Another program reading it without sharing writes keeps it as it is.
    backend.HoldOpenForReading("history.log");
    EXPECT_FALSE(files.Append("history.log", "third\r\n"));
    EXPECT_EQ(files.ReadAll("history.log")->size(), 19u);
}

TEST_F(FilesContract, RelativePathsStartAtTheCurrentDirectory) {
    EXPECT_EQ(os.system.CurrentDirectory(), directory);
    ASSERT_TRUE(files.WriteAll("ati.pci", "table"));

    EXPECT_EQ(files.ReadAll(directory + "\\ati.pci"), "table");
    EXPECT_EQ(files.ReadAll(".\\ati.pci"), "table");
    EXPECT_EQ(files.ReadAll("ATI.PCI"), "table");
    EXPECT_TRUE(files.Exists(directory + "\\Ati.Pci"));
}

TEST_F(FilesContract, MissingFilesAndDirectories) {
    EXPECT_FALSE(files.WriteAll("absent\\backup.dat", "x"));
    EXPECT_FALSE(files.Exists("absent\\backup.dat"));
    EXPECT_EQ(files.ReadAll("absent.dat"), std::nullopt);
    EXPECT_FALSE(files.Exists("absent.dat"));
    EXPECT_FALSE(files.Remove("absent.dat"));
    EXPECT_FALSE(files.Exists(directory)) << "a directory is not a file";
}

TEST_F(FilesContract, RemoveDeletesTheFile) {
    ASSERT_TRUE(files.WriteAll("0.tmp", "x"));
    EXPECT_TRUE(files.Exists("0.tmp"));
    EXPECT_TRUE(files.Remove("0.tmp"));
    EXPECT_FALSE(files.Exists("0.tmp"));
    EXPECT_FALSE(files.Remove("0.tmp"));
}

TEST_F(FilesContract, ReplaceMovesTheFileOverTheTarget) {
    ASSERT_TRUE(files.WriteAll("backup.tmp", "new"));
    ASSERT_TRUE(files.WriteAll("backup.dat", "old"));
    EXPECT_TRUE(files.Replace("backup.tmp", "backup.dat"));
    EXPECT_EQ(files.ReadAll("backup.dat"), "new");
    EXPECT_FALSE(files.Exists("backup.tmp"));

    // Without a target it is a plain move.
    ASSERT_TRUE(files.WriteAll("firstrun.tmp", "first"));
    EXPECT_TRUE(files.Replace("firstrun.tmp", "firstrun.dat"));
    EXPECT_EQ(files.ReadAll("firstrun.dat"), "first");

    // A missing source leaves the target as it was.
    EXPECT_FALSE(files.Replace("backup.tmp", "backup.dat"));
    EXPECT_EQ(files.ReadAll("backup.dat"), "new");
}

TEST_F(FilesContract, FileInUseCanBeReadButNotChanged) {
    ASSERT_TRUE(files.WriteAll("Cadenzo.rpt", "report"));
    backend.HoldOpenForReading("Cadenzo.rpt");

    EXPECT_FALSE(files.WriteAll("Cadenzo.rpt", "new"));
    EXPECT_FALSE(files.Remove("Cadenzo.rpt"));
    ASSERT_TRUE(files.WriteAll("Cadenzo.tmp", "new"));
    EXPECT_FALSE(files.Replace("Cadenzo.tmp", "Cadenzo.rpt"));
    EXPECT_EQ(files.ReadAll("Cadenzo.rpt"), "report");
}

// A name beyond the ANSI code page (Cyrillic and Japanese, with code page 1252) travels in
// UTF-8 after the mark, as the Open and Save dialogs give it.
TEST_F(FilesContract, NamesBeyondTheCodePageAreMarkedUtf8) {
    const std::string name = "\uFEFFПрофиль 日本.cadenzo";
    const std::string moved = "\uFEFFПрофиль 2.cadenzo";
    ASSERT_TRUE(files.WriteAll(name, "[Cadenzo]\r\nVersion=1\r\n"));
    EXPECT_TRUE(files.Exists(name));
    EXPECT_FALSE(files.Exists("\uFEFFПрофиль.cadenzo"));
    EXPECT_EQ(files.ReadAll(name), "[Cadenzo]\r\nVersion=1\r\n");
    EXPECT_EQ(files.ReadStart(name, 9), "[Cadenzo]");
    EXPECT_EQ(files.ReadStart(name, 1000), "[Cadenzo]\r\nVersion=1\r\n");
    EXPECT_TRUE(files.Replace(name, moved));
    EXPECT_FALSE(files.Exists(name));
    EXPECT_EQ(files.ReadStart(moved, 9), "[Cadenzo]");
    EXPECT_TRUE(files.Remove(moved));
    EXPECT_EQ(files.ReadStart(moved, 9), std::nullopt);
}

TEST_F(FilesContract, ListMatchesThePatternInAnyLetterCase) {
    for (const char* name : {"English.lng", "RUSSIAN.LNG", "deutsch.Lng", "notes.txt", "lng",
                             "old.lng.bak", "Ukrainian.lngx"}) {
        ASSERT_TRUE(files.WriteAll(name, "x")) << name;
    }
    // "Ukrainian.lngx" matches through its 8.3 alias "UKRAIN~1.LNG".
    const std::vector<std::string> languages{"English.lng", "RUSSIAN.LNG", "Ukrainian.lngx",
                                             "deutsch.Lng"};
    EXPECT_EQ(Sorted(files.List("*.lng")), languages);
    EXPECT_EQ(Sorted(files.List(".\\*.lng")), languages);
    EXPECT_EQ(Sorted(files.List(directory + "\\*.LNG")), languages);
    EXPECT_EQ(files.List("*.chm"), std::vector<std::string>{});
}

}  // namespace
