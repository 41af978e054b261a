// The refresh-rate grid on headless controls: what the rows show, which rows and arrows are
// usable, how edits travel with their entries while paging, and how a row's text is read.

#include <gtest/gtest.h>

#include "modes/RefreshGrid.h"
#include "platform/fake/FakeWindows.h"
#include "tests/unit/ProfileRoundTrip.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace {

class RefreshGridTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    ui::Application app{win.boxes};
    ui::Form form{app, "Form1"};
    ui::GroupBox gbRefresh{&form, "gbRefresh"};
    std::vector<std::unique_ptr<GridRow>> rows;
    ui::SpeedButton sbUp{&gbRefresh, "sbUp"};
    ui::SpeedButton sbDown{&gbRefresh, "sbDown"};
    ModeEntries table;
    RefreshGrid grid{rows, sbUp, sbDown, table};

    // Every grid built here also goes through a settings profile and back.
    void TearDown() override { profiles::ExpectRoundTrip(table); }

    RefreshGridTest() {
        for (int k = 1; k <= 15; ++k)
            rows.push_back(std::make_unique<GridRow>(&gbRefresh, k));
    }
    // Entry i is 640+i x 480 with rates 60 and 75, 60 in force.
    void Fill(std::size_t entries) {
        for (std::size_t i = 0; i < entries; ++i)
            table.push_back({480, static_cast<std::uint16_t>(640 + i), {60, 75}, 60});
        grid.FillGrid();
    }
    ui::ComboBox& Box(int k) { return rows[k - 1]->ComboBox; }
    std::string Label(int k) { return rows[k - 1]->l.Caption(); }
};

TEST_F(RefreshGridTest, ShortTablesHideTheRowsWithoutAnEntryAndNeitherArrowWorks) {
    table.push_back({768, 1024, {60, 70, 75, 85}, 70});
    table.push_back({1200, 1600, {60, 75}, NoRateLeft});
    table.push_back({1440, 1920, {60}, 60});
    grid.FillGrid();
    EXPECT_EQ("1024x768", Label(1));
    EXPECT_EQ("70", Box(1).Text());
    EXPECT_EQ((std::vector<std::string>{"60", "70", "75", "85"}), Box(1).Items());
    EXPECT_EQ("255", Box(2).Text());
    EXPECT_EQ("1920x1440", Label(3));
    for (int k = 1; k <= 15; ++k) {
        const GridRow& row = *rows[k - 1];
        EXPECT_EQ(k <= 3 ? 3 : 0, row.l.Visible() + row.ComboBox.Visible() + row.hz.Visible()) << k;
    }
    EXPECT_FALSE(sbUp.Enabled());
    EXPECT_FALSE(sbDown.Enabled());
    grid.StoreRow(4);  // shows no entry: nothing to store, nothing to break
    EXPECT_EQ(3u, table.size());
}

TEST_F(RefreshGridTest, FifteenEntriesFitAndTheArrowsStayOff) {
    Fill(15);
    EXPECT_TRUE(Box(15).Visible());
    EXPECT_EQ("654x480", Label(15));
    EXPECT_FALSE(sbDown.Enabled());
    grid.sbDownClick();
    EXPECT_EQ(0u, grid.GridTop);
}

TEST_F(RefreshGridTest, ArrowsMoveOneEntryAndEditsTravelWithTheirEntries) {
    Fill(17);
    EXPECT_FALSE(sbUp.Enabled());
    EXPECT_TRUE(sbDown.Enabled());
    Box(3).SetText("100");  // not among the rates: kept all the same
    sbDown.Click();
    EXPECT_EQ("641x480", Label(1));
    EXPECT_EQ("100", Box(2).Text());
    EXPECT_EQ(100, table[2].Selected);
    EXPECT_TRUE(sbUp.Enabled());
    sbDown.Click();
    EXPECT_EQ("656x480", Label(15));
    EXPECT_FALSE(sbDown.Enabled());
    sbDown.Click();
    EXPECT_EQ(2u, grid.GridTop);
    Box(15).SetText("75");  // not stored until the rows move
    EXPECT_EQ(60, table[16].Selected);
    sbUp.Click();
    sbUp.Click();
    EXPECT_FALSE(sbUp.Enabled());
    EXPECT_TRUE(sbDown.Enabled());
    EXPECT_EQ("640x480", Label(1));
    EXPECT_EQ("100", Box(3).Text());
    EXPECT_EQ(75, table[16].Selected);
    EXPECT_EQ((std::vector<std::string>{"60", "75"}), Box(3).Items());
    grid.sbUpClick();
    EXPECT_EQ(0u, grid.GridTop);
}

TEST_F(RefreshGridTest, PagesThroughMoreThan255Entries) {
    Fill(300);
    while (sbDown.Enabled())
        sbDown.Click();
    EXPECT_EQ(285u, grid.GridTop);
    EXPECT_EQ("939x480", Label(15));
    Box(15).SetText("75");
    sbUp.Click();
    EXPECT_EQ(75, table[299].Selected);
}

TEST_F(RefreshGridTest, StoreRowReadsTheTextAsANumberAndKeepsItsLowByte) {
    Fill(1);
    // A number too long for 32 bits stops before the digit that would overflow.
    const std::pair<const char*, int> cases[] = {
        {"85 Hz", 85}, {"abc", 0}, {"", 0},     {"300", 44},   {"-1", 255}, {"$55", 85},
        {"  +72", 72}, {"-5x", 5}, {"x1F", 31}, {"0XfF", 255}, {"$", 0},    {"4294967296", 0x99},
    };
    for (const auto& [text, expected] : cases) {
        Box(1).SetText(text);
        grid.StoreRow(1);
        EXPECT_EQ(expected, table[0].Selected) << '"' << text << '"';
    }
    EXPECT_EQ(-300, ReadRowNumber("-300"));
    EXPECT_EQ(0, ReadRowNumber("- 5"));
}

}  // namespace
