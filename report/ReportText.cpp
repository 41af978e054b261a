#include "report/ReportText.h"

#include "monitor/RangeCheck.h"

#include "services/Format.h"
#include "services/Settings.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
const std::string kSeparator(80, '-');
// The script's line between two exports; the report's own separators are longer.
const std::string kScriptSeparator(12, '-');
constexpr const char* kCheckBoxWords[] = {"FALSE", "TRUE"};
constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";

}  // namespace

const std::array<ReportExport, 8> ReportExports{{
    {"ati2mtaa.reg", "SYSTEM\\CurrentControlSet\\Services\\ati2mtaa"},
    {"ati2mtag.reg", "SYSTEM\\CurrentControlSet\\Services\\ati2mtag"},
    {"atimtag.reg", "SYSTEM\\CurrentControlSet\\Services\\atimtag"},
    {"ati2mpaa.reg", "SYSTEM\\CurrentControlSet\\Services\\ati2mpaa"},
    {"ati2mpag.reg", "SYSTEM\\CurrentControlSet\\Services\\ati2mpag"},
    {"class.reg", "SYSTEM\\CurrentControlSet\\Control\\Class"},
    {"video.reg", "SYSTEM\\CurrentControlSet\\Control\\Video"},
    {"ati.reg", "Software\\ATI Technologies"},
}};

std::string ReportText(const ReportFacts& facts) {
    std::string text;
    auto line = [&text](const std::string& content) { text += content + kLineEnd; };
    line(std::string(ProgramName) + " Version " + ProgramVersion + " report file [Lang:" +
         (facts.LanguageActive ? "1" : "0") + "(" + facts.LanguageFile + ")]");
    line(kSeparator);
    line(std::string("IgnoreMonitorCaps : ") + (facts.IgnoreMonitorCaps ? "Yes" : "No"));
    line(kSeparator);
    line("Modes:");
    for (const ModeEntry& entry : facts.ModeTable) {
        std::string rates;
        for (std::uint8_t rate : entry.Rates)
            rates += " " + std::to_string(rate);
        line(SizeText(entry.Width, entry.Height) + " Refresh Rates:" + rates +
             " Selected: " + std::to_string(entry.Selected));
    }
    line(kSeparator);
    std::string boxes = "CB:";
    for (bool checked : facts.CheckBoxes)
        boxes += std::string(" ") + kCheckBoxWords[checked];
    line(boxes);
    line(kSeparator);
    line("WinVer: " + facts.WinVerText);
    line(kSeparator);
    line("ClassID: " + facts.ClassID);
    line("VideoID: " + facts.VideoID);
    line(kSeparator);
    const monitor::Edid& edid = facts.Monitor;
    if (edid.status == monitor::EdidStatus::NoEdid ||
        edid.status == monitor::EdidStatus::TooShort ||
        edid.status == monitor::EdidStatus::BadHeader) {
        line(std::string("Monitor: none (") + monitor::EdidStatusText(edid.status) + ")");
    } else {
        line("Monitor: " + monitor::MonitorName(edid) + " (EDID " + std::to_string(edid.version) +
             "." + std::to_string(edid.revision) + ")" +
             (edid.status == monitor::EdidStatus::Usable
                  ? std::string()
                  : std::string(", ") + monitor::EdidStatusText(edid.status)));
    }
    if (edid.status == monitor::EdidStatus::Usable && edid.ranges) {
        const monitor::RangeLimits& r = *edid.ranges;
        line("Ranges: " + std::to_string(r.minVerticalHz) + "-" + std::to_string(r.maxVerticalHz) +
             " Hz, " + std::to_string(r.minHorizontalKHz) + "-" +
             std::to_string(r.maxHorizontalKHz) + " kHz, " + std::to_string(r.maxPixelClockMHz) +
             " MHz");
        for (const ModeEntry& entry : facts.ModeTable) {
            std::optional<std::uint32_t> highest =
                monitor::HighestRateWithin(r, entry.Width, entry.Height);
            line(SizeText(entry.Width, entry.Height) +
                 " highest within: " + (highest ? std::to_string(*highest) : std::string("none")));
        }
    }
    line(kSeparator);
    const HistoryExcerpt& history = facts.History;
    if (history.readable) {
        line("History: the last " + std::to_string(history.lines.size()) + " lines of " +
             HistoryFile);
        for (const std::string& entry : history.lines)
            line(entry);
    } else {
        line(std::string("History: ") + HistoryFile +
             (history.found ? " could not be read" : " is not there"));
    }
    if (!history.unwritten.empty()) {
        line(std::string(HistoryFile) + " could not be written; the latest event it missed: " +
             history.unwritten + " (the Windows Event Log has it)");
    }
    line(kSeparator);
    return text;
}

std::string ReportExportParameters(const ReportExport& entry) {
    std::string key = kRoot + std::string(entry.key);
    if (key.find(' ') != std::string::npos) key = "\"" + key + "\"";
    return "/e " + std::string(entry.file) + " " + key;
}

// The script starts from a copy of the first export, then joins each further export to the
// collection in "0.tmp" through "1.tmp", a separator after each, and last puts the report's
// text in front and itself away. The joins copy with /b: in copy's default text mode every
// file ends at its first Ctrl-Z byte (UTF-16 exports hold one in each character U+xx1A, such
// as the Cyrillic "К") and the result gets a Ctrl-Z appended, which hid every separator
// echoed after it from the next join.
std::string ReportScript() {
    const std::string collection = ReportCollectionFile;
    const std::string joined = ReportJoinedFile;
    const std::string quotedReport = std::string("\"") + ReportFile + "\"";
    std::string script;
    auto line = [&script](const std::string& content) { script += content + kLineEnd; };
    line("@echo off");
    line("copy " + std::string(ReportExports[0].file) + " " + collection);
    line("del " + std::string(ReportExports[0].file));
    // The first separator ends without a blank, the later ones with one, as in earlier reports.
    line("echo " + kScriptSeparator + ">> " + collection);
    for (std::size_t i = 1; i < ReportExports.size(); ++i) {
        const std::string file = ReportExports[i].file;
        line("copy /b " + collection + " + " + file + " " + joined);
        line("del " + file);
        line("del " + collection);
        line("ren " + joined + " " + collection);
        line("echo " + kScriptSeparator + " >> " + collection);
    }
    line("copy /b " + quotedReport + " + " + collection + " " + joined);
    line("del " + quotedReport);
    line("del " + collection);
    line("ren " + joined + " " + quotedReport);
    line("del " + std::string(ReportScriptFile));
    return script;
}
