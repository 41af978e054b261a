#include "options/DriverOptions.h"

#include "adapters/AtiLocations.h"
#include "services/RegistryValues.h"

DriverOptionState ReadDriverOptions(platform::Registry& registry, const AdapterState& adapter) {
    DriverOptionState options;
    std::string degree;
    ReadRegString(registry, adapter.DdhalKey, AnisoDegreeValue, degree);
    if (!degree.empty()) {
        options.anisoD3D = true;
        // A text another tool stored with more than one terminator: what comes before the
        // first is the degree.
        options.anisoDegree = degree.substr(0, degree.find('\0'));
    }

    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        std::uint16_t value = SwitchValueAbsent;
        ReadRegWord(registry, adapter.DriverKey, DriverSwitchTable[i].value, value);
        if (value == SwitchFeatureEnabled) options.switches[i] = SwitchSetting::FeatureEnabled;
        if (value == SwitchFeatureDisabled) options.switches[i] = SwitchSetting::FeatureDisabled;
    }

    for (std::size_t i = 0; i < DriverTabValues.size(); ++i) {
        std::uint16_t value = TabHidden;
        for (const char* key : ati::DesktopKeys)
            ReadRegWord(registry, key, DriverTabValues[i], value);
        options.tabs[i] = value == TabShown;
    }
    return options;
}

void WriteDriverOptions(RegistryCursor& cursor, platform::Registry& registry,
                        const AdapterState& adapter, const DriverOptionState& options) {
    // The ddhal key is created whatever the override says.
    bool onDdhal = cursor.OpenKey(FromRoot(adapter.DdhalKey), true);
    if (options.anisoD3D) {
        WriteRegString(registry, adapter.DdhalKey, AnisoDegreeValue, options.anisoDegree);
    } else if (onDdhal) {
        // Had the ddhal key not opened, the cursor would still be on some other key.
        cursor.DeleteValue(AnisoDegreeValue);
    }

    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        // Left as it is: the value stays missing, or keeps the number another tool put there.
        SwitchSetting setting = options.switches[i];
        if (setting == SwitchSetting::LeftAsItIs) continue;
        WriteRegDword(registry, adapter.DriverKey, DriverSwitchTable[i].value,
                      setting == SwitchSetting::FeatureEnabled ? SwitchFeatureEnabled
                                                               : SwitchFeatureDisabled);
    }

    for (std::size_t i = 0; i < DriverTabValues.size(); ++i) {
        std::uint16_t value = options.tabs[i] ? TabShown : TabHidden;
        // A desktop key that does not exist does not open for the write and is skipped.
        for (const char* key : ati::DesktopKeys)
            WriteRegDword(registry, key, DriverTabValues[i], value);
    }
}

bool OptionsChanged(const DriverOptionState& before, const DriverOptionState& after) {
    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        if ((before.switches[i] == SwitchSetting::FeatureEnabled) !=
            (after.switches[i] == SwitchSetting::FeatureEnabled))
            return true;
    }
    return before.anisoD3D != after.anisoD3D || before.tabs != after.tabs ||
           (after.anisoD3D && after.anisoDegree != before.anisoDegree);
}

void ChooseSwitch(DriverOptionState& options, std::size_t index, bool enabled,
                  platform::MessageBoxes& boxes, const LanguageState& language) {
    if (options.switches[index] == SwitchSetting::LeftAsItIs &&
        !platform::AskYesNo(boxes, language.Text(TextId::CreateValueQuestion), CreateValueCaption))
        return;
    options.switches[index] =
        enabled ? SwitchSetting::FeatureEnabled : SwitchSetting::FeatureDisabled;
}
