#pragma once
// The main window's texts and places, as tables.

#include <array>

#include "lang/LanguageState.h"

namespace layout {

constexpr int ClientWidth = 630;
constexpr int ClientHeight = 434;
constexpr int InactiveCaptionTextColor = 19;  // the system colour of the window's background
constexpr int WindowFontHeight = 14;
constexpr int GroupFontHeight = 11;

struct Place {
    int left, top, width, height;
};

struct InfoRowText {
    const char* captionName;
    const char* caption;
    const char* hint;
    const char* valueName;
};

constexpr std::array<InfoRowText, 8> AdapterInfoRows{{
    {"Label1", "Chip:", "Type of the card's chip", "lbChip"},
    {"Label31", "Driver Version:", "Version of currently installed driver", "lbDRVver"},
    {"Label28", "Vendor ID:", "", "lbVendorID"},
    {"Label30", "Device ID:", "", "lbDevID"},
    {"Label32", "SubSystem ID:", "", "lbSSID1"},
    {"Label34", "SubSystem  Vendor ID:", "", "lbSSID2"},
    {"Label35", "Revision:", "Revision of the card", "lbRev"},
    {"Label33", "Card Type:", "Type of the card", "lbCardType"},
}};
constexpr char CardTypePlaceholder[] = "Unknown - please, email to program's author...";

struct CheckBoxText {
    const char* name;
    const char* caption;
    const char* hint;
};

// The eight driver switches, in the order they are read, written and compared.
constexpr std::array<CheckBoxText, 8> SwitchBoxes{{
    {"cbBlockWrite", "BlockWrite (For cards with SGRAM/DDR SGRAM only)", ""},
    {"cbDrvStretchBlt", "DrvStretchBlt", ""},
    {"cbTiling", "Primary Tiling", ""},
    {"cbUSWC", "UCWC", ""},
    {"cbVBlankFlip", "VBlankFlip", ""},
    {"cbLCD", "Enable LCD controller", ""},
    {"cbDDC2", "Enable DDC2", ""},
    {"cbDMACopy", "Enable DMA copy", ""},
}};

constexpr std::array<CheckBoxText, 4> TabBoxes{{
    {"cbOpenGL", "OpenGL", "Display tab with OpenGL parameters"},
    {"cbDirect3D", "Direct3D", "Display tab with Direct 3D parameters"},
    {"cbProjector", "Projector", "Display tab with Progector's parameters"},
    {"cbRotation", "Rotation", "Display tab with parameters of Display Rotation"},
}};

constexpr std::array<CheckBoxText, 4> ColorDepthBoxes{{
    {"cb8", "8 BPP", ""},
    {"cb16", "16 BPP", ""},
    {"cb24", "24 BPP", ""},
    {"cb32", "32 BPP", ""},
}};

struct ButtonText {
    const char* name;
    const char* caption;
    Place place;
};

// Buttons beyond the right edge of the client area are there for the menu to click.
constexpr std::array<ButtonText, 9> Buttons{{
    {"OK", OkText, {436, 404, 57, 25}},
    {"Cancel", CancelText, {500, 404, 57, 25}},
    {"Help", "Help", {564, 404, 57, 25}},
    {"About", "About...", {652, 404, 57, 25}},
    {"bRes", "Resolution", {652, 180, 57, 25}},
    {"bAdapter", "Adapter...", {644, 212, 57, 25}},
    {"bLang", "Language", {660, 244, 57, 25}},
    {"bReport", "Report", {652, 276, 57, 25}},
    {"bRestore", "bRestore", {672, 88, 65, 33}},
}};

struct MenuEntry {
    const char* name;
    const char* caption;
    const char* button;  // the button whose click the entry performs
};

struct MenuGroup {
    const char* name;
    const char* caption;
    std::array<MenuEntry, 5> entries;  // unused places have no name
};

constexpr std::array<MenuGroup, 3> Menu{{
    {"f1",
     "Program",
     {{{"Uninstall1", "Uninstall", nullptr},
       {"RestoreRegistry1", "Restore Registry", "bRestore"},
       {"CreateReport1", "Create Report", "bReport"},
       {"SaveExit1", "Save and Exit", "OK"},
       {"Exit1", "Exit", "Cancel"}}}},
    {"Configure1",
     "Configure",
     {{{"Adapter1", "Adapter...", "bAdapter"},
       {"Language1", "Language...", "bLang"},
       {"Resolutions1", "Resolutions...", "bRes"},
       {nullptr, nullptr, nullptr},
       {nullptr, nullptr, nullptr}}}},
    {"Help2",
     "Help",
     {{{"Contens1", "Contens...", "Help"},
       {"About1", "About", "About"},
       {nullptr, nullptr, nullptr},
       {nullptr, nullptr, nullptr},
       {nullptr, nullptr, nullptr}}}},
}};

}  // namespace layout
