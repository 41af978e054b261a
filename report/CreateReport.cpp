#include "report/CreateReport.h"

#include <algorithm>

#include "services/RegistryValues.h"
#include "services/RunProgram.h"
#include "services/Settings.h"

namespace {

// Removes the exports and the script's working files. Before a report: an old export would pass
// for one of this run's when the editor writes none (a key that is missing), and a working file
// already there would make the script's copy or ren ask or fail in a window nobody sees. After
// a report that failed: nothing half joined stays behind.
void RemoveWorkingFiles(platform::Files& files) {
    std::vector<std::string> names{ReportCollectionFile, ReportJoinedFile, ReportScriptFile};
    for (const ReportExport& entry : ReportExports)
        names.push_back(entry.file);
    for (const std::string& name : names) {
        if (files.Exists(name)) files.Remove(name);
    }
}

}  // namespace

bool IgnoreMonitorCaps(platform::Registry& registry) {
    std::uint16_t value = 0;
    ReadRegWord(registry, SettingsKey, IgnoreMonitorCapsValue, value);
    return value > 0;
}

bool CreateReport(platform::Platform& os, const ReportFacts& facts) {
    RemoveWorkingFiles(os.files);
    bool written = os.files.WriteAll(ReportFile, ReportText(facts));

    std::vector<platform::Launch> exports;
    for (const ReportExport& entry : ReportExports)
        exports.push_back(
            {RegistryEditor, ReportExportParameters(entry), ".", platform::ShowNormal});
    std::vector<platform::LaunchResult> runs = os.shell.ExecuteAllAndWait(exports, ReportTimeoutMs);
    if (std::any_of(runs.begin(), runs.end(), [](const platform::LaunchResult& run) {
            return run.started && !run.finished;
        })) {
        RemoveWorkingFiles(os.files);
        return false;
    }
    // The editor writes no file for a key that does not exist. An empty one in its place joins
    // as nothing, whatever the system's copy does with a file that is missing.
    for (const ReportExport& entry : ReportExports) {
        if (!os.files.Exists(entry.file)) os.files.WriteAll(entry.file, "");
    }

    written = os.files.WriteAll(ReportScriptFile, ReportScript()) && written;
    platform::LaunchResult script =
        os.shell.ExecuteAndWait({ReportScriptFile, "", ".", platform::ShowHide}, ReportTimeoutMs);
    // The script's exit code is that of its last command; what it left tells more. Its last
    // rename turns the joined file into the report, so a joined file still there (or no report)
    // means the join did not finish.
    bool joined = script.started && script.finished && !os.files.Exists(ReportJoinedFile) &&
                  os.files.Exists(ReportFile);
    if (!joined) RemoveWorkingFiles(os.files);
    return written && joined;
}

void ShowReportResult(platform::MessageBoxes& boxes, const LanguageState& language, bool created) {
    if (created) {
        platform::ShowNotice(boxes, language.Text(TextId::ReportSaved),
                             language.Text(TextId::ReportSavedCaption));
    } else {
        platform::ShowNotice(boxes, language.Text(TextId::ReportFailed),
                             language.Text(TextId::ReportFailedCaption));
    }
}
