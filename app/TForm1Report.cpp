// The main window's report command.

#include "app/TForm1.h"
#include "monitor/MonitorEdid.h"
#include "report/CreateReport.h"

void TForm1::bReportClick() { ShowReportResult(state.os.boxes, state.language, WriteReport()); }

bool TForm1::WriteReport() {
    ReportFacts facts;
    facts.LanguageActive = state.language.LanguageActive;
    facts.LanguageFile = state.language.LanguageFile;
    facts.IgnoreMonitorCaps = IgnoreMonitorCaps(state.os.registry);
    facts.ModeTable = state.ModeTable;
    for (std::size_t i = 0; i < ColourDepths.size(); ++i)
        facts.CheckBoxes[i] = ColourDepths[i]->Checked();
    for (std::size_t i = 0; i < Tabs.size(); ++i)
        facts.CheckBoxes[ColourDepths.size() + i] = Tabs[i]->Checked();
    facts.WinVerText = state.WinVerText;
    facts.ClassID = state.adapter.ClassID;
    facts.VideoID = state.adapter.VideoID;
    facts.Monitor = monitor::ReadMonitorEdid(state.os.display, state.os.registry,
                                             state.adapter.DisplayDeviceName);
    facts.History = ReadHistory(state.os, ReportHistoryLines);
    return CreateReport(state.os, facts);
}
