// The first start of this version: the driver's restrictions and its native-modes rule are
// cleared once, so that it offers every rate; the driver reports the true rates only after a
// restart. Also done whenever the driver's further restriction lists hold data again.

#include "app/Program.h"
#include "app/TForm1.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "safety/Backups.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"

namespace {

constexpr char kFirstVersionWithoutFirstRun[] = "0.90";
constexpr char kFirstRunQuestion[] =
    "This is first run of Cadenzo 0.98 beta . Program was disabled all restrictions of drivers, "
    "but freqences will be correctly detected only after restart. Restart now?";
constexpr char kFirstRunCaption[] = "First Run";
constexpr char kFirstRunBackupFailedText[] =
    "The registry backup \"%s\" could not be written, so the driver's restrictions were not "
    "cleared. Cadenzo will try again at its next start.";

bool HoldsData(RegistryCursor& cursor, const char* name) {
    return ReadModeList(cursor, name).bytes[0] < 0xFF;
}

}  // namespace

void TForm1::FirstRunCheck() {
    platform::Platform& os = program.os;
    const AdapterState& adapter = program.adapter;
    RegistryCursor& cursor = *program.MachineRegistry;
    // Without a driver key there is nothing to clear; the first run waits for an adapter.
    if (!adapter.HasDriverKey()) return;

    std::string version = VersionWhenAbsent;
    ReadRegBytes(os.registry, SettingsKey, VersionValue, version);
    if (version.substr(0, 4) < kFirstVersionWithoutFirstRun) program.FirstRunNeeded = true;

    std::uint16_t addNative = 0;
    ReadRegWord(os.registry, adapter.DriverKey, AddNativeModesRuleValue, addNative);
    if (addNative > 0) program.FirstRunNeeded = true;

    // The lists are read only through the driver key itself, never a key the cursor was on.
    bool atDriver = cursor.OpenKey("\\" + adapter.DriverKey, false);
    if (atDriver) {
        for (const char* list : FurtherRestrictedModesValues) {
            if (HoldsData(cursor, list)) program.FirstRunNeeded = true;
        }
    }
    std::uint16_t minRes = 0x00FF;
    ReadRegWord(os.registry, adapter.DriverKey, MinResValue, minRes);
    if (minRes == 0x00FF && atDriver && HoldsData(cursor, MinResValue)) {
        program.FirstRunNeeded = true;
    }

    if (!program.FirstRunNeeded) {
        WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);
        return;
    }
    // The only copy of the driver's original restrictions must exist before they go; if it
    // does not, nothing is cleared and the version stays, so the next start tries again.
    if (!atDriver || !ExportDriverKey(os, adapter.DriverKey, FirstRunFile)) {
        os.boxes.Show(FormatText(kFirstRunBackupFailedText, FirstRunFile), BackupFailedCaption,
                      platform::Buttons::Ok, platform::Icon::None);
        return;
    }
    WriteRegString(os.registry, SettingsKey, VersionValue, ProgramVersion);

    cursor.WriteBinaryData(RestrictedModesValue, nullptr, 0);
    for (const char* list : FurtherRestrictedModesValues)
        cursor.WriteBinaryData(list, nullptr, 0);
    WriteRegDword(os.registry, adapter.DriverKey, AddNativeModesRuleValue, 0);
    cursor.WriteBinaryData(MinResValue, nullptr, 0);

    const LanguageState& language = program.language;
    if (os.boxes.Show(language.Text(79, kFirstRunQuestion), language.Text(80, kFirstRunCaption),
                      platform::Buttons::YesNo, platform::Icon::None) == platform::Answer::Yes) {
        RestartWindows(os);
    }
    os.system.ExitProcess(0);
}
