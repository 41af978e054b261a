// logon: does what Windows does with the machine's RunOnce entries when a
// user logs on after a restart: each entry is deleted and its command line
// started, in the order the registry lists them, without waiting for it.
//
//   logon HELDKEY [HELDRUNKEY]
//
// HELDKEY (relative to HKEY_LOCAL_MACHINE) holds the entries. The test rig
// moves the RunOnce key there while Wine is stopped: Wine would run the
// entries while it boots, before the rig has put the driver's registry
// values back, whereas Windows runs them only after the restart is complete.
// The held key is deleted once its entries are started.
//
// HELDRUNKEY holds the machine's Run entries, held for the same reason. Those
// stay: they go back under Run, and each is started after the RunOnce ones.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::wstring name;
    std::wstring command;
};

std::vector<Entry> ReadEntries(HKEY key) {
    std::vector<Entry> entries;
    wchar_t name[16384];
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name / sizeof name[0];
        DWORD dataLen = static_cast<DWORD>(data.size() - sizeof(wchar_t));
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &dataLen) !=
            ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        data[dataLen] = 0;
        data[dataLen + 1] = 0;
        std::wstring command(reinterpret_cast<const wchar_t*>(data.data()));
        if (type == REG_EXPAND_SZ) {
            wchar_t expanded[32768];
            if (ExpandEnvironmentStringsW(command.c_str(), expanded, 32768)) command = expanded;
        }
        entries.push_back({std::wstring(name, nameLen), command});
    }
    return entries;
}

bool Start(std::wstring command, const wchar_t* directory) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: logon HELDKEY [HELDRUNKEY]\n");
        return 64;
    }
    std::vector<Entry> entries;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[1], 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        entries = ReadEntries(key);
        for (const auto& e : entries)
            RegDeleteValueW(key, e.name.c_str());
        RegCloseKey(key);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, argv[1]);
    }
    if (argc == 3 &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[2], 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        std::vector<Entry> run = ReadEntries(key);
        RegCloseKey(key);
        HKEY back;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &back, nullptr) == ERROR_SUCCESS) {
            for (const auto& e : run) {
                RegSetValueExW(back, e.name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(e.command.c_str()),
                               static_cast<DWORD>((e.command.size() + 1) * sizeof(wchar_t)));
            }
            RegCloseKey(back);
        }
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, argv[2]);
        entries.insert(entries.end(), run.begin(), run.end());
    }

    // Programs started at logon run in the system directory.
    wchar_t systemDir[MAX_PATH];
    if (!GetSystemDirectoryW(systemDir, MAX_PATH)) systemDir[0] = 0;

    int failed = 0;
    for (const auto& e : entries) {
        if (Start(e.command, systemDir[0] ? systemDir : nullptr)) {
            std::printf("logon: started %ls\n", e.name.c_str());
        } else {
            std::printf("logon: could not start %ls (error %lu)\n", e.name.c_str(),
                        static_cast<unsigned long>(GetLastError()));
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
