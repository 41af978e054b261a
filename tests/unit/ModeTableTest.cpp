// The mode table as start-up builds it from the system's modes and the driver's list of
// disabled ones: which modes count, which rates are added, and which rate ends up in force.

#include <gtest/gtest.h>

#include <algorithm>

#include "modes/ModeTable.h"
#include "platform/fake/FakeWindows.h"
#include "tests/unit/ProfileRoundTrip.h"

namespace {

using Rates = std::vector<std::uint8_t>;

class ModeTableTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    platform::FakeDisplay::Device& device =
        win.display.AddDevice("\\\\.\\DISPLAY1", "ATI", platform::DisplayDevicePrimaryDevice, "");
    ModeEntries table;

    // Every grid built here also goes through a settings profile and back.
    void TearDown() override { profiles::ExpectRoundTrip(table); }

    void Add(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t> rates) {
        win.display.AddModes(device, width, height, rates);
    }
    bool Build(const std::vector<RestrictionRecord>& records) {
        EnumerateModes(win.display, device.device.deviceName, 0, table);
        bool undisabled = MergeRestrictions(table, records);
        SortModeTable(table);
        DeriveSelected(table, records);
        return undisabled;
    }
    std::string Sizes() const {
        std::string text;
        for (const ModeEntry& e : table)
            text += std::to_string(e.Width) + "x" + std::to_string(e.Height) + " ";
        return text;
    }
};

TEST_F(ModeTableTest, TakesTheFirstRunOfWidthsWithEachRateOnce) {
    Add(640, 480, {60, 0, 1});
    Add(0, 600, {60});
    Add(800, 0, {60});
    Add(1280, 1024, {60, 75, 60, 85});
    Add(1280, 960, {85, 60});  // same width: goes on, sorted before 1280x1024
    Add(1024, 768, {60});      // smaller width: the table ends here
    Add(1600, 1200, {60});
    EXPECT_FALSE(Build({}));
    EXPECT_EQ("640x480 1280x960 1280x1024 ", Sizes());
    EXPECT_EQ((Rates{1, 60}), table[0].Rates);
    EXPECT_EQ((Rates{60, 85}), table[1].Rates);
    EXPECT_EQ((Rates{60, 75, 85}), table[2].Rates);
    EXPECT_EQ(60, table[2].Selected);
}

TEST_F(ModeTableTest, SkipsRatesAndSizesItCannotHoldAndStopsAfterModeNumber65535) {
    Add(640, 480, {255, 300, 75});
    Add(700, 500, {256});  // no rate that fits: no entry, and the run is not broken by it
    Add(70000, 480, {60});
    device.modes.resize(LastModeNumber + 1, platform::MakeMode(800, 600, 32, 60));
    Add(1600, 1200, {60});  // mode number 65536
    Build({});
    EXPECT_EQ("640x480 800x600 ", Sizes());
    EXPECT_EQ((Rates{75}), table[0].Rates);
    Build({});
    EXPECT_EQ("640x480 800x600 ", Sizes());  // each build starts from an empty table
}

TEST_F(ModeTableTest, DisabledRatesJoinTheirSizeAndSetTheRateInForce) {
    Add(1024, 768, {85, 100});
    Add(1280, 1024, {70, 75});
    EXPECT_FALSE(Build({{1024, 768, 0, 60},
                        {1024, 768, 32, 72},
                        {1024, 768, 0, 75},
                        {1280, 1024, 0, 72},  // does not continue the run from the bottom
                        {1280, 1024, 0, 60},
                        {800, 600, 0, 56},  // a size the system does not report
                        {800, 600, 0, 60},
                        {0, 0, 16, 0},  // a whole colour depth: names no mode
                        {640, 0, 0, 60},
                        {640, 480, 0, 300}}));  // beyond a byte: ignored, not cut to 44
    EXPECT_EQ("800x600 1024x768 1280x1024 ", Sizes());
    EXPECT_EQ((Rates{56, 60}), table[0].Rates);
    EXPECT_EQ(NoRateLeft, table[0].Selected);
    EXPECT_EQ((Rates{60, 72, 75, 85, 100}), table[1].Rates);
    EXPECT_EQ(85, table[1].Selected);
    EXPECT_EQ((Rates{60, 70, 72, 75}), table[2].Rates);
    EXPECT_EQ(70, table[2].Selected);
}

TEST_F(ModeTableTest, ARateTheTableAlreadyHoldsIsUndisabled) {
    Add(1024, 768, {60, 75});
    EXPECT_TRUE(Build({{1024, 768, 0, 75}}));
    EXPECT_EQ(60, table[0].Selected);  // 75 does not continue a run from the bottom
    // The same record twice (one per colour depth, say): the second finds what the first added.
    EXPECT_TRUE(Build({{1024, 768, 16, 56}, {1024, 768, 32, 56}}));
    EXPECT_EQ((Rates{56, 60, 75}), table[0].Rates);
    EXPECT_EQ(60, table[0].Selected);
    // Whatever the order of the list, the rate in force is one it does not name: the lowest rate
    // listed again after the next one, or the next one listed first, leaves 75, not 72.
    Add(1280, 1024, {60, 72, 75, 85});
    Build({{1280, 1024, 0, 60}, {1280, 1024, 0, 72}, {1280, 1024, 32, 60}});
    EXPECT_EQ(75, table[1].Selected);
    Build({{1280, 1024, 0, 72}, {1280, 1024, 0, 60}});
    EXPECT_EQ(75, table[1].Selected);
}

TEST_F(ModeTableTest, ASizeListedTwiceGetsAddedRatesOnlyAtItsFirstEntry) {
    Add(800, 600, {60});
    Add(800, 480, {60});
    Add(800, 600, {75});
    EXPECT_FALSE(Build({{800, 600, 0, 85}}));
    EXPECT_EQ("800x480 800x600 800x600 ", Sizes());  // equal sizes keep their order
    EXPECT_EQ((Rates{60, 85}), table[1].Rates);
    EXPECT_EQ((Rates{75}), table[2].Rates);
    EXPECT_TRUE(Build({{800, 600, 0, 75}, {800, 600, 0, 60}}));
    EXPECT_EQ((Rates{60, 75}), table[1].Rates);
    EXPECT_EQ(NoRateLeft, table[1].Selected);  // both its rates listed, whatever the order
    EXPECT_EQ(NoRateLeft, table[2].Selected);
}

// Long lists of rates are sorted by marking them in a set of bits, and the entries through a
// list of their sizes: the results must be those of an ordinary stable sort.
TEST_F(ModeTableTest, SortingGivesWhatAStableSortGivesForLongListsAndRepeatedSizes) {
    Rates shuffled;
    for (std::uint32_t i = 0; i < 254; ++i)
        shuffled.push_back(static_cast<std::uint8_t>((i * 97) % 254 + 1));
    Rates twice = shuffled;
    twice.resize(40);
    twice.push_back(twice[7]);  // not something the build makes, but sorted all the same
    table = {{768, 1024, shuffled, 0},
             {480, 640, twice, 0},
             {600, 800, {75}, 0},
             {480, 640, {85, 60}, 0},
             {200, 320, Rates(shuffled.begin(), shuffled.begin() + 31), 0}};
    ModeEntries expected = table;
    std::stable_sort(expected.begin(), expected.end(), [](const ModeEntry& a, const ModeEntry& b) {
        return a.Width != b.Width ? a.Width < b.Width : a.Height < b.Height;
    });
    for (ModeEntry& entry : expected)
        std::sort(entry.Rates.begin(), entry.Rates.end());
    SortModeTable(table);
    EXPECT_EQ("320x200 640x480 640x480 800x600 1024x768 ", Sizes());
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(expected[i].Rates, table[i].Rates) << i;
    EXPECT_EQ(41u, table[1].Rates.size());  // the first 640x480 stays first
}

// Enumerated with the raw modes too, a device's list goes on into them; the table still ends
// at the first smaller width.
TEST_F(ModeTableTest, RawModesFollowTheOrdinaryOnes) {
    Add(640, 480, {60});
    device.rawModes = {platform::MakeMode(640, 480, 32, 85), platform::MakeMode(1024, 768, 32, 60),
                       platform::MakeMode(800, 600, 32, 60),
                       platform::MakeMode(1280, 1024, 32, 60)};
    EnumerateModes(win.display, device.device.deviceName, platform::EdsRawMode, table);
    EXPECT_EQ("640x480 1024x768 ", Sizes());
    EXPECT_EQ((Rates{60, 85}), table[0].Rates);
    EnumerateModes(win.display, "\\\\.\\display1", 0, table);  // names ignore case
    EXPECT_EQ("640x480 ", Sizes());
    EnumerateModes(win.display, "\\\\.\\DISPLAY2", 0, table);
    EXPECT_TRUE(table.empty());
}

}  // namespace
