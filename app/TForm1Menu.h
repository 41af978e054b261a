#pragma once
// The main window's menu as a table: each entry's caption and what it does, a click of one of
// the window's buttons or one of its commands. An entry that does neither, or both, does not
// compile.

#include <array>
#include <cstddef>

#include "app/TForm1.h"
#include "lang/TextTable.h"

namespace layout {

// The main window an entry acts on: the newest one, as a mouse click on its button (an older
// window's table may have been rebuilt by a newer one), or the one whose menu was used.
enum class MenuTarget { Newest, Own };

// An entry clicks a button or runs a command; no other entry can be written.
struct MenuEntry {
    // An entry that performs a click of the button of that name.
    template <std::size_t N>
    constexpr MenuEntry(const char* name, TextId caption, const char (&button)[N],
                        MenuTarget target = MenuTarget::Newest)
        : name(name), caption(caption), button(button), target(target) {}
    // An entry that runs one of the window's commands.
    constexpr MenuEntry(const char* name, TextId caption, void (TForm1::*command)(),
                        MenuTarget target)
        : name(name), caption(caption), command(command), target(target) {}
    MenuEntry(const char*, TextId, std::nullptr_t, MenuTarget) = delete;
    // An unused place.
    constexpr MenuEntry() = default;

    const char* name = nullptr;
    TextId caption{};
    const char* button = nullptr;
    void (TForm1::*command)() = nullptr;
    MenuTarget target = MenuTarget::Own;
};

constexpr MenuEntry Unused{};

struct MenuGroup {
    const char* name;
    TextId caption;
    std::array<MenuEntry, 7> entries;  // places not named are unused
};

constexpr std::array<MenuGroup, 3> Menu{{
    {"f1",
     TextId::ProgramMenu,
     {{{"Uninstall1", TextId::UninstallItem, &TForm1::Uninstall1Click, MenuTarget::Own},
       {"RestoreRegistry1", TextId::RestoreRegistryItem, "bRestore", MenuTarget::Own},
       {"CreateReport1", TextId::CreateReportItem, "bReport"},
       // The profiles, like the buttons' entries, are the newest main window's.
       {"ExportSettings1", TextId::ExportSettingsItem, &TForm1::ExportSettingsClick,
        MenuTarget::Newest},
       {"ImportSettings1", TextId::ImportSettingsItem, &TForm1::ImportSettingsClick,
        MenuTarget::Newest},
       {"SaveExit1", TextId::SaveExitItem, "OK"},
       {"Exit1", TextId::ExitItem, "Cancel"}}}},
    {"Configure1",
     TextId::ConfigureMenu,
     {{{"Adapter1", TextId::AdapterItem, "bAdapter"},
       {"Language1", TextId::LanguageItem, "bLang"},
       {"Resolutions1", TextId::ResolutionsItem, "bRes"},
       {"KeepRates1", TextId::KeepRatesItem, &TForm1::KeepRatesClick, MenuTarget::Own},
       Unused}}},
    {"Help2",
     TextId::HelpMenu,
     {{{"Contens1", TextId::ContentsItem, "Help"},
       {"About1", TextId::AboutItem, "About"},
       Unused,
       Unused,
       Unused}}},
}};

}  // namespace layout
