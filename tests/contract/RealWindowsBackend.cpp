// The real Windows calls, run under Wine by the contract test program.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/contract/ContractBackend.h"

namespace contract {
namespace {

// Runs a command line hidden, its output thrown away, and returns its exit code.
DWORD RunHidden(std::string commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started) return GetLastError() | 0x80000000u;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

class RealWindowsBackend : public Backend {
public:
    platform::Platform& Os() override { return os_; }

    // "/reg:64": a 32-bit test program starts the 32-bit reg.exe, which would otherwise see
    // the 32-bit copy of HKEY_LOCAL_MACHINE\SOFTWARE.
    void AddStringLikeRegExe(const std::string& key, const std::string& name,
                             const std::string& text) override {
        std::string command = "reg.exe add \"HKLM\\" + key + "\" /v \"" + name +
                              "\" /t REG_SZ /d \"" + text + "\" /f /reg:64";
        EXPECT_EQ(RunHidden(command), 0u) << command;
    }

    bool RegExeFinds(const std::string& key, const std::string& name) override {
        return RunHidden("reg.exe query \"HKLM\\" + key + "\" /v \"" + name + "\" /reg:64") == 0;
    }

    std::string EnterScratchDirectory() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        scratch_ = std::string(temp) + "CadenzoContract" + std::to_string(GetCurrentProcessId()) +
                   "-" + std::to_string(++scratchCount_);
        home_ = os_.system.CurrentDirectory();
        EXPECT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
        EXPECT_TRUE(SetCurrentDirectoryA(scratch_.c_str())) << scratch_;
        return scratch_;
    }

    void LeaveScratchDirectory() override {
        for (HANDLE file : held_)
            CloseHandle(file);
        held_.clear();
        SetCurrentDirectoryA(home_.c_str());
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((scratch_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                DeleteFileA((scratch_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        EXPECT_TRUE(RemoveDirectoryA(scratch_.c_str())) << scratch_;
    }

    void HoldOpenForReading(const std::string& name) override {
        HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
        held_.push_back(file);
    }

    // A helper thread waits for the box to appear, notes its text and presses the button,
    // while the test's own thread sits in the box's modal loop.
    void PressOnNextBox(const std::string& caption, platform::Answer button) override {
        int id = button == platform::Answer::Yes  ? IDYES
                 : button == platform::Answer::No ? IDNO
                                                  : IDOK;
        pressedText_.clear();
        watcher_ = std::thread([this, caption, id] {
            for (int tries = 0; tries < 200; ++tries) {
                HWND box = FindWindowA("#32770", caption.c_str());
                if (!box) {
                    Sleep(50);
                    continue;
                }
                char text[1024] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's text control
                pressedText_ = text;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
                return;
            }
        });
    }

    std::string PressedBoxText() override {
        if (watcher_.joinable()) watcher_.join();
        return pressedText_;
    }

private:
    platform::Win32Platform platform_;
    platform::Platform os_ = platform_.Os();
    std::string home_;
    std::string scratch_;
    int scratchCount_ = 0;
    std::vector<HANDLE> held_;
    std::thread watcher_;
    std::string pressedText_;
};

}  // namespace

Backend& TheBackend() {
    static RealWindowsBackend backend;
    return backend;
}

}  // namespace contract
