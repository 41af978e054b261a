// The command line as scripts use it: what each command does, what it writes to its caller and
// the exit code it ends with.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/fake/FakeWindows.h"
#include "tests/unit/DemoMachine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class CommandLineTest : public demo::ProgramTest {
protected:
    void SetUp() override { InstallInProgramFiles(); }
    std::optional<platform::RegValue> Driver(const std::string& name) {
        return win.registry.Value(demo::DriverKey, name);
    }
};

// The command line's /APPLY, as a script runs it: the profile's rates applied as OK applies
// them with nothing asked, a rate beyond the monitor refused, the exit code telling it all;
// /LIST after it, and arguments that belong to no command.
TEST_F(CommandLineTest, CommandsApplyAProfileUnaskedAndTellTheirCallerWhatTheyDid) {
    auto run = [this](std::vector<std::string> words) {
        win.system.out.clear();
        try {
            return RunCommand(os, app, words);
        } catch (const platform::ProcessEnded& ended) {
            return ended.exitCode;
        }
    };
    EXPECT_EQ(5u, run({"/apply"}));
    EXPECT_EQ(5u, run({"/LIST", "/S"}));
    EXPECT_NE(std::string::npos, win.system.out.find("7  another Cadenzo is changing"));

    demo::SeedMonitor(win, demo::CrtBlock());  // 30-70 kHz
    win.files.Put("C:\\Program Files\\Cadenzo\\lab.cadenzo",
                  "[Cadenzo]\r\nVersion=1\r\n[Resolutions]\r\n1280x1024=75\r\n800x600=75\r\n"
                  "1600x1200=60\r\n");
    EXPECT_EQ(6u, run({"/APPLY", "lab.cadenzo", "/S", "/NORESTART"}));
    EXPECT_NE(std::string::npos, win.system.out.find("1600x1200")) << win.system.out;
    EXPECT_NE(std::string::npos,
              win.system.out.find("refused, beyond the monitor's limits: 1280x1024, 75 Hz"))
        << win.system.out;
    EXPECT_TRUE(win.boxes.shown.empty());  // nothing asked, nothing shown
    // 800x600 at 75 written: 56, 60 and 72 refused; 1280x1024 kept at its rate in force.
    EXPECT_EQ((Bytes{0x08, 0x00, 0x06, 0x00, 0,    0,    0,    0x56, 0x08, 0x00, 0x06, 0x00,
                     0,    0,    0,    0x60, 0x08, 0x00, 0x06, 0x00, 0,    0,    0,    0x72}),
              Driver("DALRestrictedModesBCD")->data);
    EXPECT_TRUE(win.registry.Value(kRunOnce, "Cadenzo - test resolution"));
    EXPECT_EQ(0u, win.system.exitWindowsCalls.size());  // the restart left to the caller

    EXPECT_EQ(0u, run({"/list", "/csv"}));
    EXPECT_NE(std::string::npos, win.system.out.find("800,600,75 85,75,56 60 72"));

    // While another Cadenzo writes, nothing; then under /S the restart follows unasked.
    win.files.Put("C:\\Program Files\\Cadenzo\\lab.cadenzo",
                  "[Cadenzo]\r\nVersion=1\r\n[Resolutions]\r\n640x480=85\r\n");
    demo::KeyContents before = demo::DriverKeyContents(win.registry);
    win.system.writerLockElsewhere = true;
    EXPECT_EQ(7u, run({"/APPLY", "lab.cadenzo", "/S"}));
    EXPECT_EQ(before, demo::DriverKeyContents(win.registry));
    win.system.writerLockElsewhere = false;
    EXPECT_EQ(0u, run({"/APPLY", "lab.cadenzo", "/S"}));
    EXPECT_EQ(1u, win.system.exitWindowsCalls.size());
    EXPECT_EQ(std::string::npos, win.system.out.find("Restart?")) << win.system.out;
    EXPECT_TRUE(win.boxes.shown.empty());

    // Without an adapter: said, and told by its own code.
    win.display.devices.clear();
    EXPECT_EQ(8u, run({"/APPLY", "lab.cadenzo", "/S"}));
    EXPECT_NE(std::string::npos, win.system.out.find("Error: No display adapter was found"))
        << win.system.out;
}

}  // namespace
