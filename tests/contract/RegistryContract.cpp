#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/contract/ContractBackend.h"

using platform::RegKey;
using platform::RegStatus;
using platform::RegValue;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteKeyTree(contract::kScratchKey); }
    void TearDown() override {
        for (RegKey key : opened_)
            registry.CloseKey(key);
        EXPECT_EQ(registry.DeleteKeyTree(contract::kScratchKey), RegStatus::Ok);
    }

    RegKey Open(const std::string& sub, std::uint32_t access = platform::KeyAllAccess) {
        RegKey key = 0;
        EXPECT_EQ(registry.OpenKey(Path(sub), access, true, &key), RegStatus::Ok) << sub;
        opened_.push_back(key);
        return key;
    }
    static std::string Path(const std::string& sub) {
        return sub.empty() ? contract::kScratchKey : contract::kScratchKey + "\\" + sub;
    }
    RegStatus Set(RegKey key, const std::string& name, std::uint32_t type,
                  const std::string& bytes) {
        return registry.SetValue(key, name, type,
                                 reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<std::uint32_t>(bytes.size()));
    }
    std::uint64_t WriteTime(const std::string& sub) {
        std::uint64_t time = 0;
        EXPECT_EQ(registry.KeyWriteTime(Path(sub), &time), RegStatus::Ok) << sub;
        return time;
    }
    // Windows's clock may advance only every 16 ms or so, and a change within one step keeps
    // the key's time: first wait until a write to another key gets a later time.
    void WaitForTheClockToPass(const std::string& sub) {
        RegKey clock = Open("Clock");
        for (int tries = 0; tries < 100; ++tries) {
            Set(clock, "Tick", platform::RegSz, std::to_string(++ticks_));
            if (WriteTime("Clock") > WriteTime(sub)) return;
            backend.Os().system.Sleep(1);
        }
        ADD_FAILURE() << "the registry's clock stands still";
    }
    bool MovesWriteTime(const std::string& sub, const std::function<void()>& change) {
        WaitForTheClockToPass(sub);
        std::uint64_t before = WriteTime(sub);
        change();
        return WriteTime(sub) > before;
    }
    RegValue Query(RegKey key, const std::string& name, std::uint32_t capacity,
                   RegStatus expected = RegStatus::Ok) {
        RegValue value;
        EXPECT_EQ(registry.QueryValue(key, name, capacity, &value), expected) << name;
        return value;
    }

    contract::Backend& backend = contract::TheBackend();
    platform::Registry& registry = backend.Os().registry;

private:
    std::vector<RegKey> opened_;
    int ticks_ = 0;
};

TEST_F(RegistryContract, StringWrittenWithItsLengthHasNoTerminator) {
    RegKey key = Open("");
    // Straight from a std::string, whose buffer has a NUL right after the characters.
    const std::string text = "C:\\Program Files\\Cadenzo";
    ASSERT_EQ(Set(key, "InstallDir", platform::RegSz, text), RegStatus::Ok);

    RegValue value = Query(key, "InstallDir", 250);
    EXPECT_EQ(value.type, platform::RegSz);
    EXPECT_EQ(value.size, text.size());
    EXPECT_EQ(value.data, Bytes(text));
}

TEST_F(RegistryContract, StringWrittenByRegExeHasOneNulMore) {
    const std::string text = "C:\\Program Files\\Cadenzo";
    backend.AddStringLikeRegExe(Path(""), "InstallDir", text);

    RegValue value = Query(Open(""), "InstallDir", 250);
    EXPECT_EQ(value.type, platform::RegSz);
    EXPECT_EQ(value.data, Bytes(text + '\0'));
    EXPECT_EQ(value.size, text.size() + 1);
}

// A 32-bit program on 64-bit Windows has a copy of HKEY_LOCAL_MACHINE\SOFTWARE of its own. The
// settings key and the RunOnce entry must be the ones that 64-bit programs and Windows's logon
// see, whichever build wrote them.
TEST_F(RegistryContract, SoftwareKeysAreTheOnesThat64BitProgramsSee) {
    ASSERT_EQ(Set(Open("Settings"), "Version", platform::RegSz, "0.98 beta"), RegStatus::Ok);
    EXPECT_TRUE(backend.RegExeFinds(Path("Settings"), "Version"));

    ASSERT_EQ(registry.DeleteKeyTree(Path("Settings")), RegStatus::Ok);
    EXPECT_FALSE(backend.RegExeFinds(Path("Settings"), "Version"));
}

TEST_F(RegistryContract, ValueLargerThanTheBufferGivesItsSizeAndNoData) {
    RegKey key = Open("");
    ASSERT_EQ(Set(key, "Binary251", platform::RegBinary, std::string(251, '\x7f')), RegStatus::Ok);
    ASSERT_EQ(Set(key, "Text251", platform::RegSz, std::string(251, 'x')), RegStatus::Ok);
    ASSERT_EQ(Set(key, "Binary8", platform::RegBinary, "12345678"), RegStatus::Ok);

    RegValue binary = Query(key, "Binary251", 250, RegStatus::MoreData);
    EXPECT_EQ(binary.type, platform::RegBinary);
    EXPECT_EQ(binary.size, 251u);
    EXPECT_TRUE(binary.data.empty());

    RegValue text = Query(key, "Text251", 250, RegStatus::MoreData);
    EXPECT_EQ(text.type, platform::RegSz);
    EXPECT_EQ(text.size, 251u);

    RegValue word = Query(key, "Binary8", 4, RegStatus::MoreData);
    EXPECT_EQ(word.size, 8u);
    EXPECT_TRUE(word.data.empty());

    // A buffer exactly as large as the value is enough.
    EXPECT_EQ(Query(key, "Binary251", 251).size, 251u);
    EXPECT_EQ(Query(key, "Text251", 251).data, Bytes(std::string(251, 'x')));
}

TEST_F(RegistryContract, EmptyAndSmallValuesKeepTheirTypeAndBytes) {
    RegKey key = Open("");
    ASSERT_EQ(registry.SetValue(key, "Empty", platform::RegBinary, nullptr, 0), RegStatus::Ok);
    ASSERT_EQ(Set(key, "EmptyText", platform::RegSz, ""), RegStatus::Ok);
    ASSERT_EQ(Set(key, "Word", platform::RegDword, std::string("\x55\x00\x01\x00", 4)),
              RegStatus::Ok);

    RegValue empty = Query(key, "Empty", 2048);
    EXPECT_EQ(empty.type, platform::RegBinary);
    EXPECT_EQ(empty.size, 0u);
    EXPECT_TRUE(empty.data.empty());

    RegValue emptyText = Query(key, "EmptyText", 250);
    EXPECT_EQ(emptyText.type, platform::RegSz);
    EXPECT_EQ(emptyText.size, 0u);

    RegValue word = Query(key, "Word", 4);
    EXPECT_EQ(word.type, platform::RegDword);
    EXPECT_EQ(word.data, (std::vector<std::uint8_t>{0x55, 0x00, 0x01, 0x00}));
}

TEST_F(RegistryContract, RewritingAValueReplacesTypeAndSize) {
    RegKey key = Open("");
    ASSERT_EQ(Set(key, "Mixed", platform::RegSz, "a longer text"), RegStatus::Ok);
    ASSERT_EQ(Set(key, "Mixed", platform::RegBinary, "\x01\x02"), RegStatus::Ok);

    RegValue value = Query(key, "Mixed", 250);
    EXPECT_EQ(value.type, platform::RegBinary);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(RegistryContract, MissingKeyAndMissingValueAreToldApart) {
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(Path("Absent"), platform::KeyQueryValue, false, &key),
              RegStatus::NotFound);
    EXPECT_EQ(key, 0u);

    RegKey present = Open("");
    Query(present, "Absent", 250, RegStatus::NotFound);
    EXPECT_EQ(registry.DeleteValue(present, "Absent"), RegStatus::NotFound);
}

TEST_F(RegistryContract, OpeningWithoutCreationCreatesNothing) {
    Open("");
    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey(Path("Later\\Deeper"), platform::KeyAllAccess, false, &key),
              RegStatus::NotFound);
    EXPECT_EQ(registry.OpenKey(Path("Later"), platform::KeyQueryValue, false, &key),
              RegStatus::NotFound);

    // Creation makes every missing key on the way.
    Open("Later\\Deeper");
    ASSERT_EQ(registry.OpenKey(Path("Later"), platform::KeyQueryValue, false, &key), RegStatus::Ok);
    registry.CloseKey(key);
}

TEST_F(RegistryContract, KeyAndValueNamesIgnoreLetterCase) {
    RegKey key = Open("Adapter");
    ASSERT_EQ(Set(key, "PruningMode", platform::RegDword, std::string(4, '\0')), RegStatus::Ok);

    RegKey other = 0;
    ASSERT_EQ(registry.OpenKey("software\\CADENZOCONTRACTTEST\\aDaPtEr", platform::KeyAllAccess,
                               false, &other),
              RegStatus::Ok);
    EXPECT_EQ(Query(other, "PRUNINGMODE", 4).size, 4u);

    // Writing under another case replaces the value rather than adding a second one.
    ASSERT_EQ(Set(other, "pruningmode", platform::RegDword, std::string("\x01\0\0\0", 4)),
              RegStatus::Ok);
    EXPECT_EQ(Query(key, "PruningMode", 4).data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(registry.DeleteValue(other, "PRUNINGMODE"), RegStatus::Ok);
    Query(key, "PruningMode", 4, RegStatus::NotFound);
    registry.CloseKey(other);
}

TEST_F(RegistryContract, PathsMustNotStartWithABackslash) {
    Set(Open("Driver"), "Value", platform::RegSz, "x");
    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey("\\" + Path("Driver"), platform::KeyRead, false, &key),
              RegStatus::Failed);
    EXPECT_EQ(registry.OpenKey("\\" + Path("New"), platform::KeyAllAccess, true, &key),
              RegStatus::Failed);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry.DeleteKeyTree("\\" + Path("Driver")), RegStatus::Failed);

    // Doubled and trailing separators are taken in their stride.
    ASSERT_EQ(registry.OpenKey(Path("Driver\\"), platform::KeyRead, false, &key), RegStatus::Ok);
    registry.CloseKey(key);
    ASSERT_EQ(
        registry.OpenKey("SOFTWARE\\\\CadenzoContractTest\\Driver", platform::KeyRead, false, &key),
        RegStatus::Ok);
    registry.CloseKey(key);
    EXPECT_EQ(registry.DeleteKeyTree(Path("Driver\\")), RegStatus::Ok);
}

TEST_F(RegistryContract, KeyOpenedForQueriesRefusesChanges) {
    RegKey writable = Open("");
    ASSERT_EQ(Set(writable, "Version", platform::RegSz, "0.98 beta"), RegStatus::Ok);

    RegKey readOnly = Open("", platform::KeyQueryValue);
    EXPECT_EQ(Set(readOnly, "Version", platform::RegSz, "0.50"), RegStatus::AccessDenied);
    EXPECT_EQ(Set(readOnly, "Other", platform::RegSz, "x"), RegStatus::AccessDenied);
    EXPECT_EQ(registry.DeleteValue(readOnly, "Version"), RegStatus::AccessDenied);

    EXPECT_EQ(Query(readOnly, "Version", 250).data, Bytes("0.98 beta"));
    Query(readOnly, "Other", 250, RegStatus::NotFound);

    // Set-only rights do not allow reading.
    RegKey writeOnly = Open("", platform::KeySetValue);
    Query(writeOnly, "Version", 250, RegStatus::AccessDenied);
}

TEST_F(RegistryContract, DeletingAKeyTakesEverythingBelowIt) {
    Set(Open("Tree\\A\\A1"), "Value", platform::RegSz, "x");
    Set(Open("Tree\\A\\A2"), "Value", platform::RegSz, "x");
    Set(Open("Tree\\B"), "Value", platform::RegBinary, "x");
    Set(Open("Tree"), "Value", platform::RegBinary, "x");
    Open("Sibling");

    EXPECT_EQ(registry.DeleteKeyTree(Path("Tree")), RegStatus::Ok);

    RegKey key = 0;
    EXPECT_EQ(registry.OpenKey(Path("Tree"), platform::KeyQueryValue, false, &key),
              RegStatus::NotFound);
    EXPECT_EQ(registry.OpenKey(Path("Tree\\A\\A1"), platform::KeyQueryValue, false, &key),
              RegStatus::NotFound);
    ASSERT_EQ(registry.OpenKey(Path("Sibling"), platform::KeyQueryValue, false, &key),
              RegStatus::Ok);
    registry.CloseKey(key);

    EXPECT_EQ(registry.DeleteKeyTree(Path("Tree")), RegStatus::NotFound);
}

TEST_F(RegistryContract, SubkeysAreListedByTheirOwnNamesInOrder) {
    Open("Tree\\Gamma");
    Open("Tree\\alpha\\Below");
    Set(Open("Tree\\Beta"), "Value", platform::RegSz, "x");
    Open("TreeSibling");

    RegKey tree = Open("Tree", platform::KeyRead);
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; i < 10 && registry.EnumSubkey(tree, i, &name) == RegStatus::Ok; ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
    EXPECT_EQ(registry.EnumSubkey(tree, 3, &name), RegStatus::NotFound);
    EXPECT_EQ(registry.EnumSubkey(Open("Tree\\Beta", platform::KeyRead), 0, &name),
              RegStatus::NotFound);
    EXPECT_EQ(registry.EnumSubkey(Open("Tree", platform::KeyQueryValue), 0, &name),
              RegStatus::AccessDenied);
}

TEST_F(RegistryContract, WriteTimeMovesWithChangesOnly) {
    RegKey key = Open("Driver");
    const std::string zero(4, '\0');
    EXPECT_TRUE(MovesWriteTime("Driver", [&] { Set(key, "Value", platform::RegDword, zero); }));
    EXPECT_TRUE(MovesWriteTime("Driver", [&] { registry.DeleteValue(key, "Value"); }));
    // A subkey added or removed changes its parent.
    EXPECT_TRUE(MovesWriteTime("Driver", [&] { Open("Driver\\Sub"); }));
    EXPECT_TRUE(MovesWriteTime("Driver", [&] { registry.DeleteKeyTree(Path("Driver\\Sub")); }));

    Set(key, "Value", platform::RegDword, zero);
    EXPECT_FALSE(MovesWriteTime("Driver", [&] {
        Set(key, "Value", platform::RegDword, zero);  // the bytes it has: no change
        Query(key, "Value", 4);
        Query(key, "Absent", 4, RegStatus::NotFound);
        Open("Driver", platform::KeyQueryValue);
        Open("Driver");
    }));

    std::uint64_t time = 1;
    EXPECT_EQ(registry.KeyWriteTime(Path("Absent"), &time), RegStatus::NotFound);
}

}  // namespace
