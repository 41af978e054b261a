#include <gtest/gtest.h>

#include "tests/contract/ContractBackend.h"

namespace {

const platform::Launch kExit3{"cmd.exe", "/c exit 3", "", platform::ShowHide};
const platform::Launch kMissing{"cadenzo-no-such-program.exe", "", "", platform::ShowHide};

TEST(ShellContract, WaitedProgramGivesItsExitCode) {
    platform::LaunchResult result = contract::TheBackend().Os().shell.ExecuteAndWait(kExit3, 30000);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 3u);
}

TEST(ShellContract, MissingProgramIsNotStarted) {
    platform::Shell& shell = contract::TheBackend().Os().shell;
    EXPECT_FALSE(shell.Execute(kMissing));
    platform::LaunchResult result = shell.ExecuteAndWait(kMissing, 30000);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.finished);
}

TEST(ShellContract, ProgramsWaitedForTogetherGiveTheirResultsInOrder) {
    const platform::Launch exit5{"cmd.exe", "/c exit 5", "", platform::ShowHide};
    std::vector<platform::LaunchResult> results =
        contract::TheBackend().Os().shell.ExecuteAllAndWait({kExit3, kMissing, exit5}, 30000);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_TRUE(results[0].started && results[0].finished);
    EXPECT_EQ(results[0].exitCode, 3u);
    EXPECT_FALSE(results[1].started || results[1].finished);
    EXPECT_TRUE(results[2].started && results[2].finished);
    EXPECT_EQ(results[2].exitCode, 5u);
}

TEST(ShellContract, ProgramStartedWithoutWaiting) {
    EXPECT_TRUE(contract::TheBackend().Os().shell.Execute(kExit3));
}

}  // namespace
