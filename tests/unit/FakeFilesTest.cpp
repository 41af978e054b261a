// The in-memory files resolve paths the way Windows does, so that the program's relative and
// install-directory paths land where they would on a real machine.

#include <gtest/gtest.h>

#include "platform/fake/FakeWindows.h"

namespace {

TEST(FakeFilesTest, ResolvesRelativePathsFromTheCurrentDirectory) {
    platform::FakeWindows win;
    platform::FakeFiles& files = win.files;
    EXPECT_EQ("C:\\Cadenzo\\ati.pci", files.FullPath("ati.pci"));
    EXPECT_EQ("C:\\Cadenzo\\ati.pci", files.FullPath(".\\ati.pci"));
    EXPECT_EQ("C:\\Other\\x.lng", files.FullPath("..\\Other\\x.lng"));
    EXPECT_EQ("c:\\a\\b", files.FullPath("c:/a/./b"));
    EXPECT_EQ("C:\\Windows", files.FullPath("\\Windows"));
    ASSERT_TRUE(files.WriteAll(".\\Cadenzo.rpt", "report"));
    EXPECT_EQ("report", files.ReadAll("C:\\CADENZO\\cadenzo.RPT").value());
}

TEST(FakeFilesTest, ListsMatchesOfTheCurrentDirectoryOnly) {
    platform::FakeWindows win;
    win.files.Put("English.LNG", "");
    win.files.Put("Deutsch.lng", "");
    win.files.Put("readme.txt", "");
    win.files.Put("C:\\Elsewhere\\Russian.lng", "");
    EXPECT_EQ((std::vector<std::string>{"Deutsch.lng", "English.LNG"}), win.files.List("*.lng"));
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, win.files.List("?eadme.*"));
}

TEST(FakeFilesTest, InjectedFailures) {
    platform::FakeWindows win;
    EXPECT_FALSE(win.files.WriteAll("C:\\Missing\\backup.dat", "x"));
    win.files.Put("ati.pci", "data");
    win.files.MakeUnreadable("ati.pci");
    EXPECT_FALSE(win.files.ReadAll("ati.pci"));
    EXPECT_TRUE(win.files.Exists("ati.pci"));
    win.files.Put("backup.dat", "old");
    win.files.Put("backup.new", "new");
    win.files.Lock("backup.dat");  // open elsewhere, shared with no one
    EXPECT_FALSE(win.files.ReadAll("backup.dat"));
    EXPECT_FALSE(win.files.Remove("backup.dat"));
    EXPECT_FALSE(win.files.Replace("backup.new", "backup.dat"));
    win.files.DenyReplace("backup.new");
    EXPECT_FALSE(win.files.Replace("backup.new", "other.dat"));
    EXPECT_EQ("new", win.files.Contents("backup.new"));
    win.files.DenyWrites("C:\\Cadenzo");
    EXPECT_FALSE(win.files.WriteAll("new.txt", "x"));
    EXPECT_FALSE(win.files.Remove("ati.pci"));
    EXPECT_FALSE(win.files.Replace("ati.pci", "moved.pci"));
}

TEST(FakeFilesTest, SplitsLinesLikeATextReader) {
    EXPECT_EQ((std::vector<std::string>{"a", "", "b", "c"}), platform::SplitLines("a\r\n\nb\rc"));
    EXPECT_EQ((std::vector<std::string>{"a"}), platform::SplitLines("a\r\n"));
    EXPECT_TRUE(platform::SplitLines("").empty());
}

}  // namespace
