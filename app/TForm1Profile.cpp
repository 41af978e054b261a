// The main window's settings profiles: Export and Import in the Program menu.

#include "app/ProfileText.h"
#include "app/TForm1.h"
#include "monitor/MonitorEdid.h"
#include "platform/Utf8Text.h"
#include "services/Format.h"

namespace {

constexpr char kProposedName[] = "Cadenzo";

platform::FileDialog ProfileDialog(const LanguageState& language, TextId item,
                                   const std::string& fileName = std::string()) {
    return platform::FileDialog{ProfileCaption(language, item), language.Text(TextId::ProfileFiles),
                                profile::FileExtension, fileName};
}

}  // namespace

std::string ProfileCaption(const LanguageState& language, TextId item) {
    std::string text = language.Text(item);
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::string Listed(const std::string& intro, const std::vector<std::string>& lines) {
    // A message lists at most this many lines; a longer list ends in "...".
    constexpr std::size_t listedLines = 20;
    std::string list;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        list += "\r\n";
        list += i < listedLines ? lines[i] : "...";
        if (i == listedLines) break;
    }
    return platform::JoinText(intro, list);
}

std::optional<profile::Profile> ReadProfileFile(platform::Platform& os,
                                                const LanguageState& language,
                                                const std::string& path) {
    const std::string caption = ProfileCaption(language, TextId::ImportSettingsItem);
    // One byte beyond the longest profile tells a longer file, which is none.
    std::optional<std::string> text = os.files.ReadStart(path, profile::LongestProfile + 1);
    if (!text) {
        platform::ShowNotice(os.boxes, FormatText(language.Text(TextId::ProfileNotRead), path),
                             caption);
        return std::nullopt;
    }
    profile::ReadResult read = profile::ReadProfile(*text);
    if (read.Error != profile::ReadError::None) {
        TextId why =
            read.Error == profile::ReadError::Newer ? TextId::NewerProfile : TextId::NotAProfile;
        platform::ShowNotice(os.boxes, FormatText(language.Text(why), path), caption);
        return std::nullopt;
    }
    return read.Read;
}

void TForm1::ExportSettingsClick() {
    std::optional<std::string> path = state.os.dialogs.ChooseFileToSave(
        ProfileDialog(state.language, TextId::ExportSettingsItem,
                      std::string(kProposedName) + "." + profile::FileExtension));
    if (!path) return;
    // A newer main window made while the dialog was open shows the settings now.
    (TableInForce() ? *this : windows_.Form1()).ExportProfile(*path);
}

void TForm1::ImportSettingsClick() {
    std::optional<std::string> path = state.os.dialogs.ChooseFileToOpen(
        ProfileDialog(state.language, TextId::ImportSettingsItem));
    if (!path) return;
    (TableInForce() ? *this : windows_.Form1()).ImportProfile(*path);
}

bool TForm1::ExportProfile(const std::string& path) {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    const std::string caption = ProfileCaption(language, TextId::ExportSettingsItem);
    // Cut short by an error, the window holds what was built, not what the driver has.
    if (!created_) {
        platform::ShowNotice(os.boxes, language.Text(TextId::ProfileIncomplete), caption);
        return false;
    }

    const AdapterState& adapter = state.adapter;
    profile::MachineNames machine{adapter.VendorId,       adapter.DeviceId,   adapter.SubsysId,
                                  adapter.SubsysVendorId, adapter.RevisionId, ""};
    monitor::Edid edid =
        monitor::ReadMonitorEdid(os.display, os.registry, adapter.DisplayDeviceName);
    if (edid.status != monitor::EdidStatus::NoEdid) machine.Monitor = monitor::MonitorName(edid);
    std::string text =
        profile::WriteProfile(profile::BuildProfile(ShownTable(), ShownSwitches(), machine));

    // A write that fails half-way leaves the file that was there.
    if (!platform::WriteReplacing(os.files, path, text)) {
        platform::ShowNotice(os.boxes, FormatText(language.Text(TextId::ProfileNotWritten), path),
                             caption);
        return false;
    }
    return true;
}

ProfileImport TForm1::ImportProfile(const std::string& path) {
    platform::Platform& os = state.os;
    const LanguageState& language = state.language;
    const std::string caption = ProfileCaption(language, TextId::ImportSettingsItem);

    std::optional<profile::Profile> read = ReadProfileFile(os, language, path);
    if (!read) return ProfileImport::Refused;

    // Edits in the visible rows reach the table first, as a move of the rows would carry them.
    for (std::size_t k = 1; k <= RefreshGrid::RowCount; ++k)
        Grid.StoreRow(k);
    ModeEntries inForce = state.ModeTable;
    for (std::size_t i = 0; i < inForce.size() && i < initialSelected_.size(); ++i)
        inForce[i].Selected = initialSelected_[i];
    profile::ProfileMatch match = profile::MatchProfile(*read, inForce, ShownSwitches());

    for (const profile::ProfileMatch::Change& change : match.Rates)
        state.ModeTable[change.Entry].Selected = change.Rate;
    Grid.FillGrid();

    ChooseSwitches(match.Settings);

    if (!match.Skipped.empty()) {
        std::vector<std::string> sizes;
        for (const profile::RateChoice& choice : match.Skipped)
            sizes.push_back(profile::SizeText(choice));
        platform::ShowNotice(
            os.boxes, Listed(language.Text(TextId::ProfileSkippedResolutions), sizes), caption);
    }
    if (!match.Unoffered.empty()) {
        std::vector<std::string> rates;
        for (const profile::RateChoice& choice : match.Unoffered)
            rates.push_back(profile::RateText(choice));
        platform::ShowNotice(os.boxes, Listed(language.Text(TextId::ProfileUnofferedRates), rates),
                             caption);
    }
    return match.Skipped.empty() && match.Unoffered.empty() ? ProfileImport::Whole
                                                            : ProfileImport::Partly;
}

void TForm1::ChooseSwitches(const profile::SwitchSettings& settings) {
    for (std::size_t i = 0; i < Switches.size() && i < settings.Switches.size(); ++i) {
        if (settings.Switches[i])
            Switches[i]->SetState(*settings.Switches[i] ? ui::CheckState::Checked
                                                        : ui::CheckState::Unchecked);
    }
    if (settings.AnisoD3D) cbAnisoD3D.SetChecked(*settings.AnisoD3D);
    if (settings.AnisoDegree) cbAnisoDegree.SetText(*settings.AnisoDegree);
}

ModeEntries TForm1::ShownTable() {
    ModeEntries table = state.ModeTable;
    for (std::size_t k = 1; k <= RefreshGrid::RowCount; ++k) {
        std::size_t entry = Grid.GridTop + k - 1;
        if (entry < table.size())
            table[entry].Selected =
                static_cast<std::uint8_t>(ReadRowNumber(Rows[k - 1]->ComboBox.Text()));
    }
    return table;
}

profile::SwitchSettings TForm1::ShownSwitches() const {
    profile::SwitchSettings settings;
    // A grayed switch has no value in the driver: the profile says nothing about it.
    for (std::size_t i = 0; i < Switches.size() && i < settings.Switches.size(); ++i) {
        ui::CheckState box = Switches[i]->State();
        if (box != ui::CheckState::Grayed) settings.Switches[i] = box == ui::CheckState::Checked;
    }
    settings.AnisoD3D = cbAnisoD3D.Checked();
    settings.AnisoDegree = cbAnisoDegree.Text();
    return settings;
}
