#include "adapters/TForm4.h"

#include "adapters/AdapterDiscovery.h"
#include "adapters/AtiLocations.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"
#include "services/WriterLock.h"

namespace {

// Built-in text in UTF-8, marked as such; the box is never shown.
constexpr char kAllwaysText[] = "\uFEFFВсегда использовать выбранный адаптер";
constexpr std::uint16_t kIgnoreMonitor = 0;  // the driver offers modes the monitor may lack
constexpr std::uint16_t kPruneByMonitor = 1;
constexpr char kNoDriverText[] =
    "Display device %s has no driver key that Cadenzo can use, so nothing was stored. Choose "
    "another adapter.";
constexpr char kNoDriverCaption[] = "Error";

}  // namespace

TForm4::TForm4(ui::Application& app, platform::Platform& os, const LanguageState& language,
               const AdapterState& adapter, std::function<void()> openMainWindow)
    : ui::Form(app, "Form4"),
      os_(os),
      language_(language),
      adapter_(adapter),
      openMainWindow_(std::move(openMainWindow)) {
    SetPlace({0, 0, 306, 190});
    SetBorder(ui::BorderStyle::Single);
    SetMinimizeBox(false);
    SetStayOnTop(true);
    SetCaption(language_.Text(TextId::AdapterDialogCaption));
    Label1.SetPlace({8, 8, 290, 13});
    Label1.SetCaption(language_.Text(TextId::SelectAdapterLabel));
    lbAdapters.SetPlace({8, 26, 290, 95});
    cbIgnoreMC.SetPlace({8, 128, 290, 17});
    cbIgnoreMC.SetCaption(language_.Text(TextId::IgnoreMonitorBox));
    cbAllways.SetPlace({8, 148, 290, 17});
    cbAllways.SetCaption(kAllwaysText);
    cbAllways.SetChecked(true);
    cbAllways.SetVisible(false);
    bOK.SetPlace({160, 156, 65, 25});
    bOK.SetCaption(language_.Text(TextId::OkButton));
    bExit.SetPlace({233, 156, 65, 25});
    bExit.SetCaption(language_.Text(TextId::CancelButton));
    lbAdapters.OnClick = [this] { lbAdaptersClick(); };
    bOK.OnClick = [this] { bOKClick(); };
    bExit.OnClick = [this] { bExitClick(); };
}

std::string TForm4::DriverKeyOfSlot(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(adapter_.AdapterList.size())) return "";
    return DriverKeyOf(adapter_.AdapterList[slot].key);
}

std::uint16_t TForm4::PruningModeOf(int slot) const {
    std::uint16_t mode = kPruneByMonitor;
    ReadRegWord(os_.registry, DriverKeyOfSlot(slot), ati::PruningModeValue, mode);
    return mode;
}

void TForm4::FormCreate() {
    // One line per display device number, an empty one for a device that is no adapter, so
    // that a line's index is its device number.
    std::vector<std::string> lines;
    for (int slot = 0; slot < adapter_.AdapterCount; ++slot) {
        lines.push_back(slot < static_cast<int>(adapter_.AdapterList.size())
                            ? adapter_.AdapterList[slot].name
                            : std::string());
    }
    lbAdapters.SetItems(lines);
    // Opening, only "ignore" itself checks the box; a click below is more generous.
    cbIgnoreMC.SetChecked(PruningModeOf(0) == kIgnoreMonitor);
    std::uint16_t allways = 0;
    ReadRegWord(os_.registry, SettingsKey, AllwaysValue, allways);
    cbAllways.SetChecked(allways == 1);
}

void TForm4::lbAdaptersClick() {
    cbIgnoreMC.SetChecked(PruningModeOf(lbAdapters.ItemIndex()) != kPruneByMonitor);
}

void TForm4::bOKClick() {
    int slot = lbAdapters.ItemIndex();
    if (slot < 0) slot = 0;
    // A device number that is no adapter has no driver key: nothing may be written anywhere
    // else, so nothing is stored and the choice stays open.
    std::string driverKey = DriverKeyOfSlot(slot);
    if (driverKey.empty()) {
        platform::ShowNotice(os_.boxes, FormatText(kNoDriverText, std::to_string(slot)),
                             kNoDriverCaption);
        return;
    }
    {
        // Not while another Cadenzo changes the driver's settings: nothing is stored and the
        // choice stays open. The new main window takes the lock itself, for its own backup.
        WriterLock lock(os_);
        if (!lock.Held()) {
            platform::ShowNotice(os_.boxes, language_.Text(TextId::WriterBusy),
                                 language_.Text(TextId::WriterBusyCaption));
            return;
        }
        WriteRegDword(os_.registry, SettingsKey, AdapterNumValue, static_cast<std::uint16_t>(slot));
        WriteRegDword(os_.registry, driverKey, ati::PruningModeValue,
                      cbIgnoreMC.Checked() ? kIgnoreMonitor : kPruneByMonitor);
        WriteRegDword(os_.registry, SettingsKey, AllwaysValue, cbAllways.Checked() ? 1 : 0);
    }
    Hide();
    openMainWindow_();
}

void TForm4::bExitClick() { Hide(); }
