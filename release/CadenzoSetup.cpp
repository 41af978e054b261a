// The custom action of Cadenzo's MSI packages (release/Cadenzo.wxs): on removal, before the
// files go, Cadenzo.exe puts the display driver's settings back as they were before its first
// run, as the NSIS uninstaller has it do. Only when it did are its registry backups deleted;
// otherwise they stay, and with them the folder, and the MSI log says where they are. Nothing
// here fails the removal: a machine must not keep a program it can no longer remove because
// the driver's settings could not be put back.

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <cstring>
#include <string>

#include "keep/WatchEntry.h"
#include "platform/Files.h"
#include "safety/Backups.h"
#include "safety/Uninstall.h"
#include "services/History.h"
#include "services/Restart.h"

namespace {

// Cadenzo.exe asks no question with /S; the registry editor's import is what takes the time.
// One that has not ended by then is left running, and its backups stay.
constexpr DWORD kUninstallTimeoutMs = 120000;

// The backups' names and the watch's entry are ASCII.
std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

// One line in the MSI log (msiexec /l*v), as "Info" of this action.
void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = MsiCreateRecord(1);
    // Field 0 is the template: a path with brackets in field 1 stays as it is.
    MsiRecordSetStringW(record, 0, L"Cadenzo: [1]");
    MsiRecordSetStringW(record, 1, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::wstring CustomActionData(MSIHANDLE install) {
    wchar_t empty[1] = L"";
    DWORD size = 0;
    if (MsiGetPropertyW(install, L"CustomActionData", empty, &size) != ERROR_MORE_DATA) return {};
    std::wstring data(size + 1, L'\0');
    size = static_cast<DWORD>(data.size());
    if (MsiGetPropertyW(install, L"CustomActionData", data.data(), &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs `command`, which starts `exe`, in `folder`, where Cadenzo looks for firstrun.dat when
// its settings name no install directory; its exit code, or a text saying why there is none.
bool Run(const std::wstring& exe, std::wstring command, const std::wstring& folder, DWORD& code,
         std::wstring& failure) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        failure = L"it did not start (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    CloseHandle(process.hThread);
    bool ended = WaitForSingleObject(process.hProcess, kUninstallTimeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        failure = L"it did not end within " + std::to_wstring(kUninstallTimeoutMs / 1000) + L" s";
    if (ended && !GetExitCodeProcess(process.hProcess, &code)) {
        failure = L"its exit code is unknown (error " + std::to_wstring(GetLastError()) + L")";
        ended = false;
    }
    CloseHandle(process.hProcess);
    return ended;
}

// What Cadenzo.exe's exit code says (safety/Uninstall.h).
std::wstring Meaning(DWORD code) {
    switch (static_cast<UninstallResult>(code)) {
        case UninstallResult::Restored:
            return L"the settings went back in";
        case UninstallResult::Declined:
            return L"declined";
        case UninstallResult::NoBackup:
            return L"there is no firstrun.dat";
        case UninstallResult::RestoreFailed:
            return L"the registry editor did not finish";
        case UninstallResult::Busy:
            return L"another Cadenzo was changing the settings";
    }
    return L"unknown";
}

// The entries that start Cadenzo at logon: the watch's Run value, and the RunOnce value of a
// check still waiting for its change. Cadenzo.exe /UNINSTALL removes both when its restore goes
// in, but neither may outlive the program: a check of a program that is gone would never be
// answered. Cadenzo, 32-bit or 64-bit, works on the 64-bit registry of 64-bit Windows; an entry
// in the 32-bit view would run all the same. On 32-bit Windows both flags are ignored.
void RemoveLogonEntries() {
    struct Entry {
        const char* key;
        const char* value;
    };
    for (Entry entry : {Entry{RunKey, WatchRunValue}, Entry{RunOnceKey, RunOnceValue}}) {
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            HKEY key;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(entry.key).c_str(), 0, KEY_SET_VALUE | view,
                              &key) != ERROR_SUCCESS)
                continue;
            RegDeleteValueW(key, Widen(entry.value).c_str());
            RegCloseKey(key);
        }
    }
}

}  // namespace

// Deferred, without impersonation: Cadenzo.exe writes the driver's key under
// HKEY_LOCAL_MACHINE. CustomActionData is the full path of the installed Cadenzo.exe.
extern "C" __declspec(dllexport) UINT __stdcall RestoreDriverSettings(MSIHANDLE install) {
    std::wstring exe = CustomActionData(install);
    std::size_t slash = exe.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        // No folder to look into: nothing is run and nothing deleted.
        Log(install, L"no program to run (\"" + exe + L"\").");
        RemoveLogonEntries();
        return ERROR_SUCCESS;
    }
    std::wstring folder = exe.substr(0, slash);
    std::wstring command =
        L"\"" + exe + L"\" " + Widen(UninstallSwitch) + L" " + Widen(SilentSwitch);
    DWORD code = 0;
    std::wstring failure;
    bool ran = Run(exe, command, folder, code, failure);
    bool restored = ran && code == static_cast<DWORD>(UninstallResult::Restored);
    Log(install, ran ? command + L" ended with " + std::to_wstring(code) + L": " + Meaning(code)
                     : command + L": " + failure);

    bool kept = false;
    for (const char* name : {FirstRunFile, LastKnownGoodFile, StartBackupFile}) {
        std::wstring backup = folder + L"\\" + Widen(name);
        // An incomplete export is no backup.
        DeleteFileW((backup + Widen(platform::NewFileSuffix)).c_str());
        if (restored) {
            DeleteFileW(backup.c_str());
        } else if (Exists(backup)) {
            kept = true;
        }
    }
    // The history goes with the backups; where they stay it stays too, and tells what became of
    // them. Without backups it goes as well: the Event Log keeps the same events.
    std::wstring history = folder + L"\\" + Widen(HistoryFile);
    DeleteFileW((history + Widen(platform::NewFileSuffix)).c_str());
    if (!kept) DeleteFileW(history.c_str());
    if (restored) {
        Log(install,
            L"the display driver's settings are back as they were before Cadenzo's "
            L"first run; its registry backups are deleted.");
    } else if (kept) {
        // The backups may be the only record of the driver's own settings.
        std::wstring where = L"Cadenzo's registry backups stay in " + folder + L". ";
        Log(install, L"the display driver's settings were not put back. " + where +
                         L"To restore the settings from before Cadenzo's first run, "
                         L"double-click firstrun.dat there.");
    }
    RemoveLogonEntries();
    return ERROR_SUCCESS;
}
