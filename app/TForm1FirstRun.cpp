// The first start of this version: the driver's restrictions and its native-modes rule are
// cleared once, so that it offers every rate; the driver reports the true rates only after a
// restart. Also done whenever the driver's further restriction lists hold data again.

#include "app/TForm1.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "safety/Backups.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

constexpr char kFirstVersionWithoutFirstRun[] = "0.90";
constexpr char kFirstRunBackupFailedText[] =
    "The registry backup \"%s\" could not be written, so the driver's restrictions were not "
    "cleared. Cadenzo will try again at its next start.";
constexpr char kDriverKeyClosedText[] =
    "The display driver's registry key \"%s\" could not be opened (are you an administrator?), "
    "so the driver's restrictions were not cleared. Cadenzo will try again at its next start.";

bool HoldsData(RegistryCursor& cursor, const std::string& driverKey, const char* name) {
    return ReadModeList(cursor, driverKey, name).bytes[0] < 0xFF;
}

}  // namespace

void TForm1::FirstRunCheck() {
    platform::Platform& os = state.os;
    const AdapterState& adapter = state.adapter;
    // Without a driver key there is nothing to clear; the first run waits for an adapter.
    if (!adapter.HasDriverKey()) return;

    // A first run that was under way when the machine stopped is finished now.
    std::uint16_t pending = 0;
    bool resuming = ReadRegWord(os.registry, SettingsKey, FirstRunPendingValue, pending) == RegDone;
    if (resuming) state.FirstRunNeeded = true;

    std::string version = VersionWhenAbsent;
    ReadRegString(os.registry, SettingsKey, VersionValue, version);
    if (version.substr(0, 4) < kFirstVersionWithoutFirstRun) state.FirstRunNeeded = true;

    std::uint16_t addNative = 0;
    ReadRegWord(os.registry, adapter.DriverKey, AddNativeModesRuleValue, addNative);
    if (addNative > 0) state.FirstRunNeeded = true;

    for (const char* list : FurtherRestrictedModesValues) {
        if (HoldsData(MachineRegistry, adapter.DriverKey, list)) state.FirstRunNeeded = true;
    }
    std::uint16_t minRes = 0x00FF;
    ReadRegWord(os.registry, adapter.DriverKey, MinResValue, minRes);
    if (minRes == 0x00FF && HoldsData(MachineRegistry, adapter.DriverKey, MinResValue)) {
        state.FirstRunNeeded = true;
    }

    if (!state.FirstRunNeeded) {
        WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);
        return;
    }
    // Neither a backup nor the clearing can work through a driver key that does not open.
    if (!MachineRegistry.OpenKey(FromRoot(adapter.DriverKey), false)) {
        platform::ShowNotice(os.boxes, FormatText(kDriverKeyClosedText, adapter.DriverKey),
                             BackupFailedCaption);
        return;
    }
    // Not while another Cadenzo changes them: the next start tries again.
    WriterLock lock(os);
    if (!lock.Held()) {
        platform::ShowNotice(os.boxes, state.language.Text(TextId::WriterBusy),
                             state.language.Text(TextId::WriterBusyCaption));
        return;
    }
    // The only copy of the driver's original restrictions must exist before they go; if it
    // does not, nothing is cleared and the version stays, so the next start tries again. When
    // finishing a first run, the copy from before it is kept: the key is half cleared now.
    bool keptBackup =
        resuming && os.files.Exists(InstallPath(GetInstallDir(os.registry), FirstRunFile));
    if (!keptBackup && !ExportDriverKey(os, adapter.DriverKey, FirstRunFile)) {
        lock.Release();
        platform::ShowNotice(os.boxes, FormatText(kFirstRunBackupFailedText, FirstRunFile),
                             BackupFailedCaption);
        return;
    }
    WriteRegDword(os.registry, SettingsKey, FirstRunPendingValue, 1);
    WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);

    WriteModeList(MachineRegistry, adapter.DriverKey, RestrictedModesValue, {});
    for (const char* list : FurtherRestrictedModesValues)
        WriteModeList(MachineRegistry, adapter.DriverKey, list, {});
    WriteRegDword(os.registry, adapter.DriverKey, AddNativeModesRuleValue, 0);
    WriteModeList(MachineRegistry, adapter.DriverKey, MinResValue, {});
    DeleteRegValue(os.registry, SettingsKey, FirstRunPendingValue);
    // Written: the question may wait long for its answer, and the process ends after it.
    lock.Release();

    const LanguageState& language = state.language;
    if (platform::AskYesNo(os.boxes, language.Text(TextId::FirstRunQuestion),
                           language.Text(TextId::FirstRunCaption))) {
        RestartWindows(os);
    }
    os.system.ExitProcess(0);
}
