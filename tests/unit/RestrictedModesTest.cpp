// The driver's list of disabled modes: the BCD record bytes, reading the list at start-up,
// and the list the program writes for a mode table.

#include <gtest/gtest.h>

#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "platform/fake/FakeWindows.h"
#include "tests/unit/ProfileRoundTrip.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr char kDriver[] = "System\\CurrentControlSet\\Control\\Video\\{G}\\0000";

Bytes Record(const RestrictionRecord& record) {
    ModeRecordBytes bytes = EncodeModeRecord(record);
    return Bytes(bytes.begin(), bytes.end());
}

TEST(BcdCodecTest, RecordsHoldFourDecimalFieldsHigherDigitsFirst) {
    EXPECT_EQ((Bytes{0x10, 0x24, 0x07, 0x68, 0x00, 0x32, 0x00, 0x85}), Record({1024, 768, 32, 85}));
    EXPECT_EQ((Bytes{0x06, 0x40, 0x04, 0x80, 0x00, 0x00, 0x00, 0x60}), Record({640, 480, 0, 60}));
    EXPECT_EQ((Bytes{0x16, 0x00, 0x12, 0x00, 0x00, 0x00, 0x01, 0x00}),
              Record({1600, 1200, 0, 100}));
    EXPECT_EQ((Bytes{0x99, 0x99, 0, 0, 0, 0x16, 0, 0}), Record({9999, 0, 16, 0}));
    const std::uint8_t bytes[] = {0x10, 0x24, 0x07, 0x68, 0x00, 0x32, 0x00, 0x85};
    RestrictionRecord r = DecodeModeRecord(bytes);
    EXPECT_EQ((std::vector<int>{1024, 768, 32, 85}),
              (std::vector<int>{r.Width, r.Height, r.Depth, r.Rate}));
    EXPECT_EQ(115, DecodeBcdByte(0xAF));  // nibbles above 9 are weighed, not rejected
}

class RestrictedModesTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    RegistryCursor cursor{win.registry};

    void Seed(const Bytes& bytes) {
        win.registry.Seed(kDriver, RestrictedModesValue, platform::RegBinary, bytes);
    }
    std::vector<RestrictionRecord> Read() {
        return DecodeRestrictedModes(ReadRestrictedModes(cursor, kDriver));
    }
};

TEST_F(RestrictedModesTest, ReadsWholeRecordsUpToTheBufferSize) {
    EXPECT_TRUE(Read().empty());  // no driver key: empty, cursor unmoved
    EXPECT_FALSE(cursor.HasCurrentKey());
    win.registry.SeedKey(kDriver);
    EXPECT_TRUE(Read().empty());
    Seed(Bytes(ModeListBufferSize, 0x00));
    EXPECT_EQ(MaxModeRecords, Read().size());
    Seed(Bytes(ModeListBufferSize + 1, 0x00));
    EXPECT_THROW(Read(), RegistryError);
}

TEST_F(RestrictedModesTest, ListsAreReadAndWrittenOnlyInTheKeyTheyName) {
    // The cursor was left on another key holding a value of the same name.
    const char kOther[] = "SOFTWARE\\Korvex\\Cadenzo";
    win.registry.Seed(kOther, RestrictedModesValue, platform::RegBinary, Record({640, 480, 0, 60}));
    ASSERT_TRUE(cursor.OpenKey(std::string("\\") + kOther, false));
    EXPECT_TRUE(Read().empty());
    EXPECT_THROW(WriteModeList(cursor, kDriver, RestrictedModesValue, Record({800, 600, 0, 56})),
                 RegistryError);
    EXPECT_EQ(Record({640, 480, 0, 60}), win.registry.Value(kOther, RestrictedModesValue)->data);
    EXPECT_FALSE(win.registry.KeyExists(kDriver));
}

TEST_F(RestrictedModesTest, DropsATrailingPartRecordAndStopsAtAnUnreadRecord) {
    Bytes value = Record({1024, 768, 0, 60});
    value.insert(value.end(), {0x10, 0x24, 0x07, 0x68, 0x00});  // 5 bytes of a second record
    Seed(value);
    ASSERT_EQ(1u, Read().size());
    EXPECT_EQ(60, Read()[0].Rate);
    // A 0xFF inside a record (never BCD) puts that field out of reach; one that starts a
    // record ends the list.
    Seed({0x10, 0x24, 0x07, 0x68, 0, 0, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(1u, Read().size());
    EXPECT_EQ(255, Read()[0].Rate);
    Bytes huge(2 * ModeListBufferSize, 0x00);
    EXPECT_EQ(MaxModeRecords, DecodeRestrictedModes(huge.data(), huge.size()).size());
}

TEST(EncodeRestrictedModesTest, ListsTheRatesBelowTheChoiceThenTheRefusedDepths) {
    ModeEntries table{{768, 1024, {60, 70, 72, 75, 85}, 85}};
    auto encode = [&](std::uint8_t selected, bool hiFreq) {
        table[0].Selected = selected;
        Bytes bytes = EncodeRestrictedModes(table, hiFreq, {true, true, true, true});
        Bytes rates;
        for (std::size_t i = 0; i < bytes.size(); i += ModeRecordSize)
            rates.push_back(DecodeModeRecord(&bytes[i]).Rate);
        return rates;
    };
    EXPECT_EQ((Bytes{60, 70, 72, 75}), encode(85, false));
    EXPECT_EQ((Bytes{60, 70, 72, 75, 85}), encode(NoRateLeft, false));
    EXPECT_EQ((Bytes{}), encode(60, false));
    EXPECT_EQ((Bytes{}), encode(0, false));
    EXPECT_EQ((Bytes{60, 70, 72, 85}), encode(75, true));
    EXPECT_EQ((Bytes{60, 70, 72, 75, 85}), encode(100, true));  // typed, not among the rates
    // Rates out of order (a table that was never sorted): the entry still ends at the first
    // rate at or above the choice, and with hiFreq only the choice itself is left out.
    table[0].Rates = {60, 85, 70, 75};
    EXPECT_EQ((Bytes{60}), encode(75, false));
    EXPECT_EQ((Bytes{60, 85, 70}), encode(75, true));
    table[0].Rates = {60, 70, 72, 75, 85};

    table.push_back({768, 10240, {60, 75}, 75});  // too wide for the driver's fields
    table[0].Selected = 70;
    Bytes expected = Record({1024, 768, 0, 60});
    for (Bytes depth : {Record({0, 0, 8, 0}), Record({0, 0, 32, 0})})
        expected.insert(expected.end(), depth.begin(), depth.end());
    EXPECT_EQ(expected, EncodeRestrictedModes(table, false, {false, true, true, false}));
    EXPECT_TRUE(EncodeRestrictedModes({}, false, {true, true, true, true}).empty());
    profiles::ExpectRoundTrip(table);
}

TEST_F(RestrictedModesTest, AListTooLongToReadBackIsReportedAndAWrittenOneReadsBack) {
    ModeEntries table;
    for (std::uint16_t height = 1; height <= 64; ++height)
        table.push_back({height, 640, {56, 60, 70, 72, 75}, 75});
    Bytes bytes = EncodeRestrictedModes(table, false, {true, true, true, true});
    EXPECT_EQ(MaxModeRecords * ModeRecordSize, bytes.size());
    EXPECT_TRUE(ModeListFits(bytes));
    EXPECT_FALSE(ModeListFits(EncodeRestrictedModes(table, false, {false, true, true, true})));

    win.registry.SeedKey(kDriver);
    WriteModeList(cursor, kDriver, RestrictedModesValue, bytes);
    ModeEntries readBack = table;
    std::vector<RestrictionRecord> records = Read();
    DeriveSelected(readBack, records);
    for (const ModeEntry& entry : readBack)
        EXPECT_EQ(75, entry.Selected);
    profiles::ExpectRoundTrip(readBack);
    WriteModeList(cursor, kDriver, FurtherRestrictedModesValues[0], {});
    auto empty = win.registry.Value(kDriver, "DALRestrictedModesBCD1");
    ASSERT_TRUE(empty);
    EXPECT_EQ(platform::RegBinary, empty->type);
    EXPECT_TRUE(empty->data.empty());
}

}  // namespace
