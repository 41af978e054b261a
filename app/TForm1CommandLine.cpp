// What the main window does for the commands of the command line, on a window nobody sees:
// the listing of /LIST.

#include "app/TForm1.h"
#include "modes/RestrictedModes.h"
#include "monitor/MonitorEdid.h"
#include "platform/Utf8Text.h"
#include "services/Format.h"

namespace {

std::string Rates(const std::vector<std::uint8_t>& rates) {
    std::string text;
    for (std::uint8_t rate : rates)
        text += (text.empty() ? "" : " ") + std::to_string(rate);
    return text.empty() ? "-" : text;
}

std::string InForce(std::uint8_t selected) {
    if (selected == 0) return "-";
    if (selected == NoRateLeft) return "none";
    return std::to_string(selected);
}

}  // namespace

std::string TForm1::ListText(bool csv) {
    platform::Platform& os = state.os;
    const AdapterState& adapter = state.adapter;
    std::vector<RestrictionRecord> records =
        DecodeRestrictedModes(ReadRestrictedModes(MachineRegistry, adapter.DriverKey));
    std::string text;
    if (csv) {
        text = "width,height,offered,in force,refused\r\n";
    } else {
        monitor::Edid edid =
            monitor::ReadMonitorEdid(os.display, os.registry, adapter.DisplayDeviceName);
        std::string monitorName =
            edid.status == monitor::EdidStatus::NoEdid ? "none" : monitor::MonitorName(edid);
        using platform::JoinText;
        // The version is cut before "(" as the window shows it; the blank before that goes too.
        std::string version = adapter.DriverVersion;
        while (!version.empty() && version.back() == ' ')
            version.pop_back();
        text = JoinText(JoinText("Adapter: " + adapter.DisplayDeviceName + " (", adapter.Chip),
                        ")\r\n");
        text = JoinText(JoinText(text, "Card: "), JoinText(lbCardType().Caption(), "\r\n"));
        text = JoinText(JoinText(text, "Driver version: "), JoinText(version, "\r\n"));
        text = JoinText(JoinText(text, "Monitor: "), JoinText(monitorName, "\r\n"));
    }
    for (const ModeEntry& entry : state.ModeTable) {
        // The rates the driver's list refuses at this size are not offered.
        std::vector<std::uint8_t> offered, refused;
        for (std::uint8_t rate : entry.Rates) {
            bool listed = false;
            for (const RestrictionRecord& r : records) {
                listed = listed || ((r.Width == 0 || r.Width == entry.Width) &&
                                    (r.Height == 0 || r.Height == entry.Height) && r.Rate == rate);
            }
            (listed ? refused : offered).push_back(rate);
        }
        std::string size = csv ? std::to_string(entry.Width) + "," + std::to_string(entry.Height)
                               : SizeText(entry.Width, entry.Height);
        if (csv) {
            text += size + "," + Rates(offered) + "," + InForce(entry.Selected) + "," +
                    Rates(refused) + "\r\n";
        } else {
            text += size + ": offered " + Rates(offered) + "; in force " + InForce(entry.Selected) +
                    "; refused " + Rates(refused) + "\r\n";
        }
    }
    return text;
}
