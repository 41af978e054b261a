#pragma once
// The main window: the refresh-rate grid, the adapter information, the driver switches and
// tabs, the command buttons and the menu.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/ProgramState.h"
#include "app/ProgramWindows.h"
#include "keep/AppliedRecord.h"
#include "modes/GridRow.h"
#include "modes/RefreshGrid.h"
#include "modes/RestrictedModes.h"
#include "options/DriverSwitches.h"
#include "profile/Profile.h"
#include "services/RegistryCursor.h"
#include "ui/Form.h"

namespace layout {
struct MenuEntry;
}

// A caption on the adapter information group with the label that shows its value.
struct InfoRow {
    InfoRow(ui::Control* group, int index);
    ui::Label caption;
    ui::Label value;
};

// What an import of a profile did: refused the file, took all of it, or took it in part.
enum class ProfileImport { Refused, Whole, Partly };

class TForm1 : public ui::Form {
public:
    // The state and the window list outlive every main window.
    TForm1(ProgramState& state, ProgramWindows& windows);
    ~TForm1() override;

    // The creation sequence: reads everything and fills the controls.
    void FormCreate();
    // The first paint's deferred actions, once per process.
    void FormPaint();

    // What the buttons and the menu's entries do, and what the watch and the command line ask
    // of the window.
    void OKClick();
    // Configure -> Keep rates after driver updates: the watch at logon on or off.
    void KeepRatesClick();
    void CancelClick();
    void bRestoreClick();
    void HelpClick();
    void Uninstall1Click();
    void bReportClick();
    // Settings profiles: Export writes what the window shows into a file chosen in the Save
    // dialog; Import fills the grid and switches from a file chosen in the Open dialog, as a
    // choice by hand does, and writes nothing before OK.
    void ExportSettingsClick();
    void ImportSettingsClick();
    // False when nothing was written (and that was said).
    bool ExportProfile(const std::string& path);
    ProfileImport ImportProfile(const std::string& path);
    // The command line's work, on a window nobody sees (app/TForm1CommandLine.cpp).
    // /LIST: the adapter, card, driver and monitor, then a line per resolution (or CSV rows).
    std::string ListText(bool csv);
    // Create Report; true when the report was created.
    bool WriteReport();

    // Whether the mode table is still the one this window built and shows. A newer main
    // window rebuilds it (another adapter, raw modes, another language), and then this
    // window's rows would land on other resolutions' entries.
    bool TableInForce() const { return tableBuild_ == state.ModeTableBuilds; }

    // The settings as the window showed them at the end of its creation, and whether they
    // differ now.
    void SaveInitialState();
    bool SettingsChanged();

    // Finds a control of this window by its name (for the commands and the tests); null when
    // there is none.
    ui::Control* FindControl(const std::string& name);
    // The control of a name the window's own tables give, which must exist.
    ui::Control& Named(const std::string& name);
    ui::MenuItem* FindMenuItem(const std::string& name);

    ProgramState& state;
    // The registry cursor of this window, rooted at HKEY_LOCAL_MACHINE; every write through it
    // opens its key first.
    RegistryCursor MachineRegistry;

    ui::GroupBox gbRefresh{this, "gbRefresh"};
    std::vector<std::unique_ptr<GridRow>> Rows;  // l1/ComboBox1/hz1 to l15/ComboBox15/hz15
    ui::SpeedButton sbUp{&gbRefresh, "sbUp"};
    ui::SpeedButton sbDown{&gbRefresh, "sbDown"};
    RefreshGrid Grid;

    ui::GroupBox gbAdInfo{this, "gbAdInfo"};
    std::vector<std::unique_ptr<InfoRow>> AdapterInfo;  // Label1/lbChip ... Label33/lbCardType

    ui::GroupBox gbAdvanced{this, "gbAdvanced"};
    ui::CheckBox cbAnisoD3D{&gbAdvanced, "cbAnisoD3D"};
    ui::Label Label38{&gbAdvanced, "Label38"};
    ui::ComboBox cbAnisoDegree{&gbAdvanced, "cbAnisoDegree"};
    std::vector<std::unique_ptr<ui::CheckBox>> Switches;  // cbBlockWrite ... cbDMACopy

    ui::GroupBox gbDriver{this, "gbDriver"};
    std::vector<std::unique_ptr<ui::CheckBox>> Tabs;  // cbOpenGL ... cbRotation

    ui::GroupBox gbColor{this, "gbColor"};
    // cb8, cb16, cb24, cb32, one per colour depth a record can refuse
    std::array<std::unique_ptr<ui::CheckBox>, ::ColourDepths.size()> ColourDepths;

    ui::GroupBox gbSettings{this, "gbSettings"};
    ui::CheckBox cbHiFreq{&gbSettings, "cbHiFreq"};

    ui::GroupBox gbDebug{this, "gbDebug"};
    ui::Label Label36{&gbDebug, "Label36"};
    ui::Label lbClassID{&gbDebug, "lbClassID"};
    ui::Label Label37{&gbDebug, "Label37"};
    ui::Label lbVideoID{&gbDebug, "lbVideoID"};

    ui::Button OK{this, "OK"};
    ui::Button Cancel{this, "Cancel"};
    ui::Button Help{this, "Help"};
    ui::Button About{this, "About"};
    ui::Button bRes{this, "bRes"};
    ui::Button bAdapter{this, "bAdapter"};
    ui::Button bLang{this, "bLang"};
    ui::Button bReport{this, "bReport"};
    ui::Button bRestore{this, "bRestore"};

    // The override, the switches and the tabs, with their registry values.
    std::unique_ptr<DriverSwitches> DriverOptions;

    ui::Label& lbChip() { return AdapterInfo[0]->value; }
    ui::Label& lbDRVver() { return AdapterInfo[1]->value; }
    ui::Label& lbVendorID() { return AdapterInfo[2]->value; }
    ui::Label& lbDevID() { return AdapterInfo[3]->value; }
    ui::Label& lbSSID1() { return AdapterInfo[4]->value; }
    ui::Label& lbSSID2() { return AdapterInfo[5]->value; }
    ui::Label& lbRev() { return AdapterInfo[6]->value; }
    ui::Label& lbCardType() { return AdapterInfo[7]->value; }

private:
    ProgramWindows& windows_;

    void BuildLayout();
    void WireButtons();
    void TakeStartBackup();
    enum class Written { Nothing, Done, RestartNeeded };
    // OK's work under the writer lock: the backup, the driver's values, the pending change.
    Written WriteChosen();
    // Clears the driver's restrictions at the first start of this version (or when the
    // driver restricts modes again), after a backup; then offers a restart and ends.
    void FirstRunCheck();

    std::vector<std::uint8_t> initialSelected_;
    std::array<bool, ::ColourDepths.size()> initialDepths_{};
    // The creation sequence ran to its end: every value OK writes back was read first.
    bool created_ = false;
    std::uint32_t tableBuild_ = 0;  // the build of the mode table this window shows
    void BuildMenu();
    // What a menu entry does when clicked.
    std::function<void()> MenuAction(const layout::MenuEntry& entry);
    // The grid as the window shows it: the table with the visible rows' texts read in.
    ModeEntries ShownTable();
    // Sets the switches and the anisotropy a profile or a kept record names, as clicks set them;
    // those it says nothing of stay.
    void ChooseSwitches(const profile::SwitchSettings& settings);
    profile::SwitchSettings ShownSwitches() const;
};
