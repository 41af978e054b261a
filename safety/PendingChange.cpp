#include "safety/PendingChange.h"

#include "keep/AppliedRecord.h"
#include "safety/Backups.h"
#include "services/Format.h"
#include "services/History.h"
#include "services/RegistryValues.h"
#include "services/Restart.h"
#include "services/Settings.h"

namespace {

// The driver key the change wrote, so that an undo started without an adapter (the blind
// restore) can wait for it to settle.
constexpr char kChangeDriverKeyValue[] = "ChangeDriverKey";

constexpr std::uint32_t kLowestRate = 60;
// Far beyond the modes any adapter lists: the enumeration ends at the first number past its last.
constexpr std::uint32_t kLastModeNumber = 65535;
// After a mode change the driver key counts as settled once its write time stayed the same for
// this many polls.
constexpr std::uint32_t kSettlePollMs = 100;
constexpr int kQuietPolls = 3;
constexpr std::uint32_t kSettleLimitMs = 5000;

void SetState(platform::Registry& registry, ChangeState state) {
    WriteRegDword(registry, SettingsKey, ChangeStateValue, static_cast<std::uint16_t>(state));
}

void ArmEntry(platform::Platform& os) {
    WriteRegString(os.registry, RunOnceKey, RunOnceValue, CheckCommand(GetInstallDir(os.registry)));
}

void Disarm(platform::Registry& registry) {
    DeleteRegValue(registry, RunOnceKey, RunOnceValue);
    DeleteRegValue(registry, SettingsKey, CheckStartsValue);
    DeleteRegValue(registry, SettingsKey, UndoTriesValue);
}

// The settings and the RunOnce entry on disk before anything else is written.
void Flush(platform::Registry& registry) {
    registry.FlushKey(SettingsKey);
    registry.FlushKey(RunOnceKey);
}

std::string ModesText(const std::vector<StoredMode>& modes) {
    std::string text;
    for (const StoredMode& m : modes) {
        text += m.device + "=" + std::to_string(m.width) + "," + std::to_string(m.height) + "," +
                std::to_string(m.bitsPerPel) + "," + std::to_string(m.frequency) + "\n";
    }
    return text;
}

// The decimal number at `at`, which moves past it; false when there is none or it is too large.
bool ReadNumber(const std::string& text, std::size_t& at, std::uint32_t& number) {
    std::size_t start = at;
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 9; ++at)
        value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
    number = static_cast<std::uint32_t>(value);
    return at > start && (at == text.size() || text[at] < '0' || text[at] > '9');
}

// Lines that do not read as a mode are left out: a mode stored wrongly would be worse than
// none.
std::vector<StoredMode> ParseModes(const std::string& text) {
    std::vector<StoredMode> modes;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        std::size_t equals = line.rfind('=');
        if (equals == std::string::npos || equals == 0) continue;
        StoredMode mode;
        mode.device = line.substr(0, equals);
        std::uint32_t* fields[] = {&mode.width, &mode.height, &mode.bitsPerPel, &mode.frequency};
        std::size_t at = equals + 1;
        bool read = true;
        for (std::size_t i = 0; i < 4 && read; ++i) {
            read = (i == 0 || (at < line.size() && line[at++] == ',')) &&
                   ReadNumber(line, at, *fields[i]);
        }
        if (read && at == line.size() && mode.width && mode.height) modes.push_back(mode);
    }
    return modes;
}

platform::DisplayMode ModeOf(const StoredMode& stored) {
    platform::DisplayMode mode;
    mode.fields = platform::DmPelsWidth | platform::DmPelsHeight | platform::DmDisplayFrequency;
    mode.width = stored.width;
    mode.height = stored.height;
    mode.frequency = stored.frequency;
    if (stored.bitsPerPel) {
        mode.fields |= platform::DmBitsPerPel;
        mode.bitsPerPel = stored.bitsPerPel;
    }
    return mode;
}

// Waits until the driver key has not changed for a while: a mode switch may make the system
// rewrite it (Wine has its other processes delete and rebuild it, several times over, and they
// need not be done when the call returns), and an import before that would be undone. Where
// nothing rewrites the key this costs one quiet interval; where it never settles, the wait has
// a limit.
// `time` is the key's write time before the switch.
void AwaitSettledKey(platform::Platform& os, const std::string& driverKey, std::uint64_t time) {
    platform::RegStatus status = platform::RegStatus::Ok;
    int quiet = 0;
    for (std::uint32_t waited = 0; quiet < kQuietPolls && waited < kSettleLimitMs;
         waited += kSettlePollMs) {
        os.system.Sleep(kSettlePollMs);
        std::uint64_t now = 0;
        platform::RegStatus nowStatus = os.registry.KeyWriteTime(driverKey, &now);
        quiet = nowStatus == status && now == time ? quiet + 1 : 0;
        status = nowStatus;
        time = now;
    }
}

// The modes Windows had stored when the change began, stored and in force again. The mode
// Windows starts with goes back first: the driver's list coming back alone would leave the
// failing rate stored, and the restart could come up dark again.
void PutBackModes(platform::Platform& os) {
    std::string driverKey, modes;
    ReadRegString(os.registry, SettingsKey, kChangeDriverKeyValue, driverKey);
    ReadRegBytes(os.registry, SettingsKey, ChangeDisplayModesValue, modes);
    std::uint64_t time = 0;
    bool watched =
        !driverKey.empty() && os.registry.KeyWriteTime(driverKey, &time) == platform::RegStatus::Ok;
    StoreModesAgain(os.display, ParseModes(modes));
    // A key missing for a moment is being rebuilt; one that stays missing is settled too.
    if (watched) AwaitSettledKey(os, driverKey, time);
}

std::optional<std::string> TakeDate(platform::Platform& os, const char* value) {
    std::string date;
    if (ReadRegString(os.registry, SettingsKey, value, date) != RegDone) return std::nullopt;
    DeleteRegValue(os.registry, SettingsKey, value);
    return date;
}

}  // namespace

PendingChange ReadChange(platform::Registry& registry) {
    PendingChange change;
    std::uint16_t state = 0;
    ReadRegWord(registry, SettingsKey, ChangeStateValue, state);
    if (state <= static_cast<std::uint16_t>(ChangeState::Undone))
        change.state = static_cast<ChangeState>(state);
    ReadRegString(registry, SettingsKey, CheckArmedOnValue, change.date);
    // A check armed by an older version names no file: its OK took lastknowngood.dat.
    change.beforeFile = LastKnownGoodFile;
    ReadRegString(registry, SettingsKey, ChangeBeforeFileValue, change.beforeFile);
    return change;
}

bool ChangePending(platform::Registry& registry) {
    return ReadChange(registry).state == ChangeState::Pending;
}

void BeginChange(platform::Platform& os, const std::string& beforeFile,
                 const std::string& driverKey) {
    if (!ChangePending(os.registry)) {
        WriteRegString(os.registry, SettingsKey, CheckArmedOnValue, DateText(os.system.Now()));
        WriteRegString(os.registry, SettingsKey, ChangeBeforeFileValue, beforeFile);
        WriteRegString(os.registry, SettingsKey, kChangeDriverKeyValue, driverKey);
        WriteRegString(os.registry, SettingsKey, ChangeDisplayModesValue,
                       ModesText(StoredModesNow(os.display)));
        DeleteRegValue(os.registry, SettingsKey, CheckStartsValue);
        DeleteRegValue(os.registry, SettingsKey, UndoTriesValue);
        SetState(os.registry, ChangeState::Pending);
    }
    ArmEntry(os);
    Flush(os.registry);
}

int CountCheckStart(platform::Platform& os) {
    ArmEntry(os);
    std::uint16_t earlier = 0;
    ReadRegWord(os.registry, SettingsKey, CheckStartsValue, earlier);
    WriteRegDword(os.registry, SettingsKey, CheckStartsValue,
                  static_cast<std::uint16_t>(earlier + (earlier < 0xFFFF ? 1 : 0)));
    // The count is what tells the next start that this one went unanswered.
    Flush(os.registry);
    return earlier;
}

void ConfirmChange(platform::Platform& os) {
    // Confirmed: these are the rates to keep after a driver update.
    ConfirmPendingRecord(os.registry);
    SetState(os.registry, ChangeState::Confirmed);
    Disarm(os.registry);
    Flush(os.registry);
}

void EndChange(platform::Platform& os) {
    if (ChangePending(os.registry)) {
        // An unconfirmed change undone is not one to keep after a driver update.
        DropPendingRecord(os.registry);
        SetState(os.registry, ChangeState::Undone);
    }
    // The settings in force now are the ones from before the change: a check of it would only
    // undo again what is already undone.
    Disarm(os.registry);
    Flush(os.registry);
}

void PutBackStoredModes(platform::Platform& os) {
    if (ChangePending(os.registry)) PutBackModes(os);
}

UndoResult UndoChange(platform::Platform& os, HistoryEvent done, const std::string& origin) {
    PendingChange change = ReadChange(os.registry);
    PutBackModes(os);
    std::string installDir = GetInstallDir(os.registry);
    bool anyFile = false;
    for (const std::string& file : {change.beforeFile, std::string(FirstRunFile)}) {
        if (!os.files.Exists(InstallPath(installDir, file))) continue;
        anyFile = true;
        if (ImportBackup(os, file)) {
            RecordEvent(os, done, file);
            EndChange(os);
            return UndoResult::Undone;
        }
        RecordEvent(os, HistoryEvent::RestoreFailed, origin + ": " + file + " did not go in");
    }
    if (!anyFile) {
        RecordEvent(
            os, HistoryEvent::RestoreFailed,
            origin + ": neither " + change.beforeFile + " nor " + FirstRunFile + " is there");
        WriteRegString(os.registry, SettingsKey, ChangeNotUndoneValue, change.date);
        Disarm(os.registry);
        Flush(os.registry);
        return UndoResult::NoBackups;
    }
    std::uint16_t tries = 0;
    ReadRegWord(os.registry, SettingsKey, UndoTriesValue, tries);
    ++tries;
    if (tries >= MaxUndoTries) {
        // Restarting for ever would help nobody: the next ordinary start says so.
        WriteRegString(os.registry, SettingsKey, ChangeNotUndoneValue, change.date);
        Disarm(os.registry);
        Flush(os.registry);
        return UndoResult::GaveUp;
    }
    // The check stays armed: the next start tries again.
    WriteRegDword(os.registry, SettingsKey, UndoTriesValue, tries);
    ArmEntry(os);
    Flush(os.registry);
    return UndoResult::NotYet;
}

std::vector<StoredMode> StoredModesNow(platform::Display& display) {
    std::vector<StoredMode> modes;
    platform::DisplayDevice device;
    for (std::uint32_t i = 0; display.EnumDevice(i, &device); ++i) {
        if (!(device.stateFlags & platform::DisplayDeviceAttachedToDesktop) ||
            (device.stateFlags & platform::DisplayDeviceMirroringDriver))
            continue;
        platform::DisplayMode mode;
        if (!display.EnumMode(device.deviceName, platform::EnumRegistrySettings, 0, &mode) ||
            !mode.width || !mode.height)
            continue;
        modes.push_back(
            {device.deviceName, mode.width, mode.height, mode.bitsPerPel, mode.frequency});
    }
    return modes;
}

std::optional<platform::DisplayMode> LowestRateMode(platform::Display& display,
                                                    const std::string& deviceName,
                                                    std::uint32_t width, std::uint32_t height,
                                                    std::uint32_t bitsPerPel) {
    struct Lowest : platform::ModeSink {
        std::uint32_t width, height, bits;
        std::optional<platform::DisplayMode> found;
        bool Take(const platform::DisplayMode& mode) override {
            bool same = mode.width == width && mode.height == height &&
                        (bits == 0 || mode.bitsPerPel == bits);
            if (same && mode.frequency >= kLowestRate &&
                (!found || mode.frequency < found->frequency))
                found = mode;
            return true;
        }
    } lowest;
    lowest.width = width;
    lowest.height = height;
    lowest.bits = bitsPerPel;
    display.EnumModes(deviceName, kLastModeNumber, 0, lowest);
    if (!lowest.found) return std::nullopt;
    platform::DisplayMode mode = *lowest.found;
    mode.fields = platform::DmPelsWidth | platform::DmPelsHeight | platform::DmDisplayFrequency |
                  (bitsPerPel ? platform::DmBitsPerPel : 0);
    return mode;
}

void StoreModesAgain(platform::Display& display, const std::vector<StoredMode>& modes) {
    constexpr std::uint32_t kStoreOnly = platform::CdsUpdateRegistry | platform::CdsNoReset;
    for (const StoredMode& stored : modes) {
        platform::DisplayMode mode = ModeOf(stored);
        // Refused while the driver still refuses the rates below the change's, until it
        // restarts with the settings put back. Then Windows keeps what it has stored, and no
        // other rate is stored instead: every one the driver offers now may be the failing one.
        display.ChangeSettings(stored.device, &mode, kStoreOnly);
    }
    // Every display to the mode now stored; with none remembered (a change armed by an older
    // version), back to whatever Windows has stored.
    display.ChangeSettings("", nullptr, modes.empty() ? platform::CdsFullscreen : 0);
}

void NoteUnconfirmedChange(platform::Platform& os) {
    std::string date;
    ReadRegString(os.registry, SettingsKey, CheckArmedOnValue, date);
    WriteRegString(os.registry, SettingsKey, ChangeUndoneValue, date);
}

std::optional<std::string> TakeUnconfirmedChange(platform::Platform& os) {
    return TakeDate(os, ChangeUndoneValue);
}

std::optional<std::string> TakeChangeNotUndone(platform::Platform& os) {
    return TakeDate(os, ChangeNotUndoneValue);
}
