#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "tests/contract/ContractBackend.h"

namespace {

constexpr std::uint32_t kErrorNoSuchPrivilege = 1313;

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

platform::System& System() { return contract::TheBackend().Os().system; }

TEST(SystemContract, VersionIsOfTheNtFamily) {
    std::uint32_t version = System().Version();
    EXPECT_EQ(version & 0x80000000u, 0u);  // the high bit marks Windows 9x
    EXPECT_GE(version & 0xFFu, 5u);        // major version in the low byte: 2000 and later
}

TEST(SystemContract, CommandLineNamesTheProgram) {
    EXPECT_NE(Lower(System().CommandLine()).find("cadenzo_contract_tests"), std::string::npos)
        << System().CommandLine();
}

TEST(SystemContract, CurrentDirectoryIsAFullPathWithoutTrailingBackslash) {
    std::string dir = System().CurrentDirectory();
    ASSERT_GE(dir.size(), 3u) << dir;
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(dir[0])));
    EXPECT_EQ(dir.substr(1, 2), ":\\");
    EXPECT_NE(dir.back(), '\\');
}

TEST(SystemContract, AnOrdinaryBootIsNoSafeMode) { EXPECT_FALSE(System().SafeMode()); }

TEST(SystemContract, EverySoundPlaysAndReturns) {
    for (platform::Sound sound :
         {platform::Sound::Tick, platform::Sound::LowestRate, platform::Sound::Restoring})
        System().Beep(sound);
}

// Without the source registered (as here) Windows writes the entries all the same, with a
// note that their description cannot be found.
TEST(SystemContract, TheEventLogTakesAnEntryOfEachLevel) {
    EXPECT_TRUE(System().LogEvent(platform::EventType::Information, "OK applied: contract test"));
    EXPECT_TRUE(System().LogEvent(platform::EventType::Warning, "backup.dat restored"));
    EXPECT_TRUE(System().LogEvent(platform::EventType::Error,
                                  "\uFEFFRestore failed: \u0444\u0430\u0439\u043B"));
}

TEST(SystemContract, ShutdownPrivilegeCanBeEnabled) {
    platform::TokenHandle token = 0;
    ASSERT_TRUE(System().OpenProcessToken(&token));
    std::uint64_t luid = 0;
    EXPECT_TRUE(System().LookupPrivilege("SeShutdownPrivilege", &luid));
    EXPECT_NE(luid, 0u);
    EXPECT_TRUE(System().EnablePrivilege(token, luid));
    EXPECT_EQ(System().LastError(), 0u);
    System().CloseToken(token);
}

TEST(SystemContract, UnknownPrivilegeIsNotFound) {
    std::uint64_t luid = 0;
    EXPECT_FALSE(System().LookupPrivilege("SeNoSuchPrivilege", &luid));
    EXPECT_EQ(System().LastError(), kErrorNoSuchPrivilege);
}

TEST(SystemContract, PrivilegeNamesIgnoreLetterCase) {
    std::uint64_t exact = 0;
    std::uint64_t lower = 0;
    ASSERT_TRUE(System().LookupPrivilege("SeShutdownPrivilege", &exact));
    ASSERT_TRUE(System().LookupPrivilege("seshutdownprivilege", &lower));
    EXPECT_EQ(lower, exact);
}

}  // namespace
