#pragma once
// The main window's texts and places, as tables.

#include <array>

#include "lang/TextTable.h"
#include "modes/RestrictedModes.h"
#include "options/DriverOptionValues.h"

namespace layout {

// A caption or hint: a language text, or a fixed text that no language replaces.
struct Words {
    constexpr Words(TextId text) : text(text) {}
    constexpr Words(const char* fixed) : fixed(fixed) {}
    TextId text{};
    const char* fixed = nullptr;

    constexpr bool IsLanguageText() const { return fixed == nullptr; }
    const char* BuiltIn() const { return fixed ? fixed : BuiltInText(text); }
};

constexpr int ClientWidth = 630;
constexpr int ClientHeight = 434;
constexpr int InactiveCaptionTextColor = 19;  // the system colour of the window's background
constexpr int WindowFontHeight = 14;
constexpr int GroupFontHeight = 11;

struct Place {
    int left, top, width, height;
};

struct GroupText {
    const char* name;
    Words caption;
    Place place;
    bool shown;
};

// Built-in texts in UTF-8, marked as such, shown only on hidden groups.
inline constexpr char HiddenColorCaption[] = "\uFEFFРазрешенная глубина цвета:";
inline constexpr char HiFreqCaption[] = "\uFEFFЗапретить частоты выше установленных";
inline constexpr char DebugCaption[] = "\uFEFFОтладочная информация:";

constexpr std::array<GroupText, 7> Groups{{
    {"gbRefresh", TextId::RefreshRatesGroup, {4, 0, 149, 401}, true},
    {"gbAdInfo", TextId::AdapterInfoGroup, {160, 0, 465, 145}, true},
    {"gbAdvanced", TextId::AdvancedGroup, {160, 152, 465, 166}, true},
    {"gbDriver", TextId::DriverTabsGroup, {160, 320, 465, 81}, true},
    {"gbColor", HiddenColorCaption, {624, 312, 233, 81}, false},
    {"gbSettings", "", {160, 320, 273, 81}, false},
    {"gbDebug", DebugCaption, {0, 424, 241, 49}, false},
}};

struct InfoRowText {
    const char* captionName;
    Words caption;
    Words hint;
    const char* valueName;
};

constexpr std::array<InfoRowText, 8> AdapterInfoRows{{
    {"Label1", TextId::ChipLabel, TextId::ChipHint, "lbChip"},
    {"Label31", TextId::DriverVersionLabel, TextId::DriverVersionHint, "lbDRVver"},
    {"Label28", "Vendor ID:", "", "lbVendorID"},
    {"Label30", "Device ID:", "", "lbDevID"},
    {"Label32", "SubSystem ID:", "", "lbSSID1"},
    {"Label34", "SubSystem  Vendor ID:", "", "lbSSID2"},
    {"Label35", "Revision:", TextId::RevisionHint, "lbRev"},
    {"Label33", TextId::CardTypeLabel, TextId::CardTypeHint, "lbCardType"},
}};
inline constexpr char CardTypePlaceholder[] = "Unknown - please, email to program's author...";

struct CheckBoxText {
    const char* name;
    Words caption;
    Words hint;
};

constexpr CheckBoxText AnisoBox{"cbAnisoD3D", TextId::AnisoD3DBox, ""};

// The eight driver switches' captions, in the order of DriverSwitchTable, which names the boxes.
constexpr std::array<CheckBoxText, DriverSwitchCount> SwitchBoxes{{
    {"cbBlockWrite", TextId::BlockWriteBox, ""},
    {"cbDrvStretchBlt", "DrvStretchBlt", ""},
    {"cbTiling", "Primary Tiling", ""},
    {"cbUSWC", "UCWC", ""},
    {"cbVBlankFlip", "VBlankFlip", ""},
    {"cbLCD", TextId::LcdBox, ""},
    {"cbDDC2", TextId::Ddc2Box, ""},
    {"cbDMACopy", TextId::DmaCopyBox, ""},
}};

constexpr bool SameName(const char* a, const char* b) {
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}
constexpr bool SwitchBoxesInTableOrder() {
    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        if (!SameName(SwitchBoxes[i].name, DriverSwitchTable[i].box)) return false;
    }
    return true;
}
static_assert(SwitchBoxesInTableOrder(), "a switch's caption belongs to another box");

constexpr std::array<CheckBoxText, DriverTabValues.size()> TabBoxes{{
    {"cbOpenGL", "OpenGL", TextId::OpenGLHint},
    {"cbDirect3D", "Direct3D", TextId::Direct3DHint},
    {"cbProjector", TextId::ProjectorBox, TextId::ProjectorHint},
    {"cbRotation", TextId::RotationBox, TextId::RotationHint},
}};

constexpr std::array<CheckBoxText, ColourDepths.size()> ColourDepthBoxes{{
    {"cb8", "8 BPP", ""},
    {"cb16", "16 BPP", ""},
    {"cb24", "24 BPP", ""},
    {"cb32", "32 BPP", ""},
}};

struct ButtonText {
    const char* name;
    Words caption;
    Place place;
};

// Buttons beyond the right edge of the client area are there for the menu to click.
constexpr std::array<ButtonText, 9> Buttons{{
    {"OK", TextId::OkButton, {436, 404, 57, 25}},
    {"Cancel", TextId::CancelButton, {500, 404, 57, 25}},
    {"Help", TextId::HelpButton, {564, 404, 57, 25}},
    {"About", "About...", {652, 404, 57, 25}},
    {"bRes", "Resolution", {652, 180, 57, 25}},
    {"bAdapter", TextId::AdapterButton, {644, 212, 57, 25}},
    {"bLang", "Language", {660, 244, 57, 25}},
    {"bReport", TextId::ReportButton, {652, 276, 57, 25}},
    {"bRestore", "bRestore", {672, 88, 65, 33}},
}};

}  // namespace layout
