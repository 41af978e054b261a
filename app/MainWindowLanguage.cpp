#include "app/MainWindowLanguage.h"

#include "app/TForm1.h"

namespace {

struct Slot {
    int text;
    const char* name;
};

constexpr Slot kCaptions[] = {
    {3, "gbRefresh"}, {4, "gbAdInfo"},   {5, "gbAdvanced"},   {6, "gbDriver"},      {7, "OK"},
    {8, "Cancel"},    {9, "Help"},       {10, "bAdapter"},    {11, "bReport"},      {12, "Label1"},
    {13, "Label31"},  {14, "Label33"},   {15, "cbAnisoD3D"},  {16, "cbBlockWrite"}, {17, "cbLCD"},
    {18, "cbDDC2"},   {19, "cbDMACopy"}, {20, "cbProjector"}, {21, "cbRotation"},
};

constexpr Slot kHints[] = {
    {42, "Label1"},   {43, "Label31"},    {44, "Label35"},     {45, "Label33"},
    {46, "cbOpenGL"}, {47, "cbDirect3D"}, {48, "cbProjector"}, {49, "cbRotation"},
};

// The menu bar first, then each menu's entries from the top.
constexpr Slot kMenu[] = {
    {50, "f1"},
    {51, "Configure1"},
    {52, "Help2"},
    {73, "Uninstall1"},
    {53, "RestoreRegistry1"},
    {54, "CreateReport1"},
    {55, "SaveExit1"},
    {56, "Exit1"},
    {57, "Adapter1"},
    {58, "Language1"},
    {59, "Resolutions1"},
    {60, "Contens1"},
    {61, "About1"},
};

}  // namespace

void ApplyLanguage(TForm1& form, const LanguageState& language) {
    auto text = [&language](int k) { return language.LanguageTexts[k - 1]; };
    for (const Slot& slot : kCaptions)
        form.FindControl(slot.name)->SetCaption(text(slot.text));
    for (const Slot& slot : kHints)
        form.FindControl(slot.name)->SetHint(text(slot.text));
    for (const Slot& slot : kMenu)
        form.FindMenuItem(slot.name)->SetCaption(text(slot.text));
}
