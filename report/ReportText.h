#pragma once
// The diagnostic report's text, the registry exports that follow it and the batch script that
// joins them: pure functions of what they are given.

#include <array>
#include <string>
#include <vector>

#include "modes/ModeTable.h"
#include "monitor/Edid.h"
#include "services/History.h"

// All in the current directory.
inline constexpr char ReportFile[] = "Cadenzo.rpt";
inline constexpr char ReportScriptFile[] = "cpall.bat";
// The script's working files.
inline constexpr char ReportCollectionFile[] = "0.tmp";
inline constexpr char ReportJoinedFile[] = "1.tmp";
// How many of the history's last lines the report holds.
constexpr std::size_t ReportHistoryLines = 50;

// What the report tells, gathered from the program's state and the main window.
struct ReportFacts {
    bool LanguageActive = false;
    std::string LanguageFile;  // as stored, without its terminator; possibly empty
    bool IgnoreMonitorCaps = false;
    ModeEntries ModeTable;
    // Whether cb8, cb16, cb24, cb32, cbOpenGL, cbDirect3D, cbProjector and cbRotation are
    // checked, in this order.
    std::array<bool, 8> CheckBoxes{};
    std::string WinVerText;
    std::string ClassID;
    std::string VideoID;
    // The monitor on the adapter as its EDID describes it; a status says why it tells nothing.
    monitor::Edid Monitor;
    // The history's last lines, and whether the log missed an event.
    HistoryExcerpt History;
};

// The report's own text: fourteen lines (one more per mode entry), each ended by CR LF, then
// the monitor's section: its name and EDID version, its ranges, and for each mode entry the
// highest rate within them; then the history's section: its last lines, and a note when the
// log could not be written.
std::string ReportText(const ReportFacts& facts);

// A key exported into a file of the current directory by the registry editor.
struct ReportExport {
    const char* file;
    const char* key;  // under HKEY_LOCAL_MACHINE
};

// The keys the report holds, in the order they are joined: the ATI driver's services, the
// display class and video keys, and ATI's software key.
extern const std::array<ReportExport, 8> ReportExports;

// The registry editor's command line for an export; a key with a blank stands in quotes.
std::string ReportExportParameters(const ReportExport& entry);

// The batch script's 44 lines, each ended by CR LF.
std::string ReportScript();
