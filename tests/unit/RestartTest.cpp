// Restarting Windows: the shutdown privilege on both families, and what the user sees when a
// step fails.

#include <gtest/gtest.h>

#include "platform/fake/FakeWindows.h"
#include "services/Restart.h"
#include "services/RunProgram.h"

namespace {

constexpr std::uint32_t kWindowsXp = (2600u << 16) | (1u << 8) | 5u;  // 5.1.2600
constexpr std::uint32_t kWindows7 = (7601u << 16) | (1u << 8) | 6u;   // 6.1.7601
constexpr std::uint32_t kWindows98 = 0xC0000A04u;                     // 4.10, high bit set
constexpr std::uint32_t kWindowsMe = 0xC0005A04u;                     // 4.90

class RestartTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    platform::Platform os = win.Os();
    std::size_t NoPrivilegeNotices() const {
        std::size_t n = 0;
        for (const auto& box : win.boxes.shown)
            n += box.text == "Can't get SeShutdownPrivilege";
        return n;
    }
};

TEST_F(RestartTest, TheNtFamilyIsToldByTheHighBitNotTheBuildNumber) {
    for (std::uint32_t version : {kWindowsXp, kWindows7, win.system.version}) {
        EXPECT_FALSE(IsWindows9x(version)) << std::hex << version;
    }
    EXPECT_TRUE(IsWindows9x(kWindows98));
    EXPECT_TRUE(IsWindows9x(kWindowsMe));
}

TEST_F(RestartTest, EnablesThePrivilegeOnModernWindows) {
    for (std::uint32_t version : {kWindowsXp, kWindows7, win.system.version}) {
        win.system.version = version;
        win.system.shutdownPrivilegeEnabled = false;
        EnableShutdownPrivilege(os);
        EXPECT_TRUE(win.system.shutdownPrivilegeEnabled) << std::hex << version;
    }
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_EQ(0, win.system.openTokens);
}

TEST_F(RestartTest, LeavesWindows9xAlone) {
    win.system.version = kWindows98;
    win.system.tokenOpens = false;
    EnableShutdownPrivilege(os);
    EXPECT_FALSE(win.system.shutdownPrivilegeEnabled);
    EXPECT_TRUE(win.boxes.shown.empty());
    EXPECT_TRUE(RestartWindows(os));
    EXPECT_EQ(std::vector<std::uint32_t>{platform::EwxReboot}, win.system.exitWindowsCalls);
}

TEST_F(RestartTest, EachFailingStepIsReportedAndTheRestartIsStillTried) {
    win.system.privilegeHeld = false;
    EnableShutdownPrivilege(os);
    EXPECT_EQ(1u, NoPrivilegeNotices());
    EXPECT_EQ("Error", win.boxes.shown.back().caption);

    win.boxes.shown.clear();
    win.system.tokenOpens = false;
    win.system.privilegeKnown = false;
    win.system.exitWindowsWorks = false;
    EXPECT_FALSE(RestartWindows(os));
    EXPECT_EQ(3u, NoPrivilegeNotices());
    ASSERT_EQ(4u, win.boxes.shown.size());
    EXPECT_EQ("Can't restart Windows [No admin access?]", win.boxes.shown.back().text);
    EXPECT_EQ("Restart needed", win.boxes.shown.back().caption);
    EXPECT_EQ(platform::Buttons::Ok, win.boxes.shown.back().buttons);
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
}

TEST_F(RestartTest, AFailedRestartCanStaySilentOrUseOtherTexts) {
    win.system.exitWindowsWorks = false;
    win.system.privilegeHeld = false;
    EXPECT_FALSE(RestartWindows(os, std::nullopt));
    EXPECT_TRUE(win.boxes.shown.empty());  // the privilege's notices neither
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    win.system.privilegeHeld = true;
    EXPECT_FALSE(RestartWindows(os, Notice{"Neustart fehlgeschlagen", "Neustart"}));
    EXPECT_EQ("Neustart fehlgeschlagen", win.boxes.shown.back().text);
}

TEST_F(RestartTest, RunProgramStartsWithoutWaiting) {
    RunProgram(win.shell, "regedit.exe", "/s \"C:\\Program Files\\Cadenzo\\backup.dat\"", ".",
               platform::ShowNormal);
    ASSERT_EQ(1u, win.shell.started.size());
    EXPECT_FALSE(win.shell.started[0].waited);
    EXPECT_EQ("regedit.exe", win.shell.started[0].launch.file);
    EXPECT_EQ(".", win.shell.started[0].launch.directory);
    EXPECT_EQ(platform::ShowNormal, win.shell.started[0].launch.show);
}

}  // namespace
