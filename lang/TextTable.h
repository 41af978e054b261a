#pragma once
// Every text a language file can replace, declared once: its slot number, the name the code
// uses for it and its built-in English text.
//
// Texts 1 to 80 are the lines after a language file's version line, in this order. A file
// normally ends with its translator's credit right after text 80, so that line is text 81 of
// any file written for these 80: slots 81 to 100 stay unused. Texts added since then take
// numbers from 101 up and are carried by name, as "101=text" lines between text 80 and the
// credit; a file without such a line shows that text in English (see LanguageFile.h).
//
// To add a text: one line at the end of the table with the next number from 101, the line in
// English.lng and in Russian.lng, and the call site naming it: language.Text(TextId::Name).

#include <cstddef>

// TEXT(name, slot, built-in text). Slot 2 has no built-in text: it is the language's own name,
// shown only in the language dialog.
#define CADENZO_LANGUAGE_TEXTS(TEXT)                                                              \
    TEXT(HelpFile, 1, "CadenzoEn.chm")                                                            \
    TEXT(LanguageName, 2, "")                                                                     \
    TEXT(RefreshRatesGroup, 3, "Refresh Rates:")                                                  \
    TEXT(AdapterInfoGroup, 4, "Adapter Info:")                                                    \
    TEXT(AdvancedGroup, 5, "Advanced settings:")                                                  \
    TEXT(DriverTabsGroup, 6, "ATI Driver tabs:")                                                  \
    TEXT(OkButton, 7, "OK")                                                                       \
    TEXT(CancelButton, 8, "Cancel")                                                               \
    TEXT(HelpButton, 9, "Help")                                                                   \
    TEXT(AdapterButton, 10, "Adapter...")                                                         \
    TEXT(ReportButton, 11, "Report")                                                              \
    TEXT(ChipLabel, 12, "Chip:")                                                                  \
    TEXT(DriverVersionLabel, 13, "Driver Version:")                                               \
    TEXT(CardTypeLabel, 14, "Card Type:")                                                         \
    TEXT(AnisoD3DBox, 15, "Forse Anisotropic Filtering in Direct3D")                              \
    TEXT(BlockWriteBox, 16, "BlockWrite (For cards with SGRAM/DDR SGRAM only)")                   \
    TEXT(LcdBox, 17, "Enable LCD controller")                                                     \
    TEXT(Ddc2Box, 18, "Enable DDC2")                                                              \
    TEXT(DmaCopyBox, 19, "Enable DMA copy")                                                       \
    TEXT(ProjectorBox, 20, "Projector")                                                           \
    TEXT(RotationBox, 21, "Rotation")                                                             \
    TEXT(MaxRateWarning, 22,                                                                      \
         "Selected Refresh Rate larger than maximum refresh rate setted up in Control Panel. "    \
         "Control Panel settings will be corrected.")                                             \
    TEXT(MaxRateCaption, 23, "Warning")                                                           \
    TEXT(RestartQuestion, 24, "All changes do not take effect until next boot. Restart?")         \
    TEXT(RestartCaption, 25, "Restart needed")                                                    \
    TEXT(RestartFailed, 26, "Can't restart Windows [No admin access?]")                           \
    TEXT(RestartFailedCaption, 27, "Restart needed")                                              \
    TEXT(ReportSaved, 28, "Report saved in Cadenzo.rpt")                                          \
    TEXT(ReportSavedCaption, 29, "Report Creation OK")                                            \
    TEXT(ReportFailed, 30, "Can't create temporaly file")                                         \
    TEXT(ReportFailedCaption, 31, "Error")                                                        \
    TEXT(CreateValueQuestion, 32, "Registry key doesn't exists. Create it?")                      \
    TEXT(SelectAdapterLabel, 33, "Select one of the installed display adapters:")                 \
    TEXT(IgnoreMonitorBox, 34, "Igniore monitor capabilites")                                     \
    TEXT(AdapterDialogCaption, 35, "Select Adapter")                                              \
    TEXT(CheckCaption, 36, "Cadenzo - Checking Video Modes...")                                   \
    TEXT(CheckConfirm, 37, "Settings implemented. If you can read this message, click \"OK\".")   \
    TEXT(CheckMinimalPrefix, 38, "Minimal refresh rate will be automatically selected in")        \
    TEXT(CheckSeconds, 39, "seconds")                                                             \
    TEXT(CheckMinimalConfirm, 40,                                                                 \
         "Minimal refresh rate selected. If you can read this message, click \"OK\".")            \
    TEXT(CheckRestorePrefix, 41, "Settings will be automatically restored from backup in")        \
    TEXT(ChipHint, 42, "Type of the card's chip")                                                 \
    TEXT(DriverVersionHint, 43, "Version of currently installed driver")                          \
    TEXT(RevisionHint, 44, "Revision of the card")                                                \
    TEXT(CardTypeHint, 45, "Type of the card")                                                    \
    TEXT(OpenGLHint, 46, "Display tab with OpenGL parameters")                                    \
    TEXT(Direct3DHint, 47, "Display tab with Direct 3D parameters")                               \
    TEXT(ProjectorHint, 48, "Display tab with Progector's parameters")                            \
    TEXT(RotationHint, 49, "Display tab with parameters of Display Rotation")                     \
    TEXT(ProgramMenu, 50, "Program")                                                              \
    TEXT(ConfigureMenu, 51, "Configure")                                                          \
    TEXT(HelpMenu, 52, "Help")                                                                    \
    TEXT(RestoreRegistryItem, 53, "Restore Registry")                                             \
    TEXT(CreateReportItem, 54, "Create Report")                                                   \
    TEXT(SaveExitItem, 55, "Save and Exit")                                                       \
    TEXT(ExitItem, 56, "Exit")                                                                    \
    TEXT(AdapterItem, 57, "Adapter...")                                                           \
    TEXT(LanguageItem, 58, "Language...")                                                         \
    TEXT(ResolutionsItem, 59, "Resolutions...")                                                   \
    TEXT(ContentsItem, 60, "Contens...")                                                          \
    TEXT(AboutItem, 61, "About")                                                                  \
    TEXT(NonStdCaption, 62, "Non-Standart Resolutions Mangement")                                 \
    TEXT(NonStdListLabel, 63, "Non-standart Resolutions:")                                        \
    TEXT(NonStdAddButton, 64, "Add")                                                              \
    TEXT(NonStdRemoveButton, 65, "Remove")                                                        \
    TEXT(NonStdEditButton, 66, "Edit")                                                            \
    TEXT(NonStdWarning1, 67, "Warning: Program can enable ONLY resolutions supported by")         \
    TEXT(NonStdWarning2, 68, "hardware. If resolution can't be selected after restart, delete")   \
    TEXT(NonStdWarning3, 69, "that resolution from the list (wrong resolutions also may disable") \
    TEXT(NonStdWarning4, 70, "forcing of Frequency).")                                            \
    TEXT(RestoredQuestion, 71, "Registry restored from backup. Restart now?")                     \
    TEXT(RestoredCaption, 72, "Restart Needed")                                                   \
    TEXT(UninstallItem, 73, "Uninstall")                                                          \
    TEXT(UninstallCaption, 74, "?")                                                               \
    TEXT(UninstallQuestion, 75, "A you sure to uninstall this program?")                          \
    TEXT(Uninstalled, 76,                                                                         \
         "Program deleted sucssessifully. Registry changes will be impemented after restart.")    \
    TEXT(UndisabledCaption, 77, "Error")                                                          \
    TEXT(UndisabledQuestion, 78,                                                                  \
         "Undisabled refresh rate detected. Strongly recommendated to restore previsious "        \
         "registry data. Restore now?")                                                           \
    TEXT(FirstRunQuestion, 79,                                                                    \
         "This is first run of Cadenzo 0.98 beta . Program was disabled all restrictions of "     \
         "drivers, but freqences will be correctly detected only after restart. Restart now?")    \
    TEXT(FirstRunCaption, 80, "First Run")                                                        \
    TEXT(OutdatedWindow, 101,                                                                     \
         "A newer Cadenzo window has read the display modes again, so the rates of this window "  \
         "no longer match the resolutions they were chosen for. Nothing was changed, and this "   \
         "window closes now: choose the rates in the newest Cadenzo window.")                     \
    TEXT(OutdatedWindowCaption, 102, "Error")                                                     \
    TEXT(UnconfirmedChangeUndone, 103,                                                            \
         "The display settings changed on %s were not confirmed after the restart, so Cadenzo "   \
         "has put back the settings from before that change.")                                    \
    TEXT(UnconfirmedChangeCaption, 104, "Settings restored")                                      \
    TEXT(SafeModeQuestion, 105,                                                                   \
         "Windows runs in Safe Mode. Restore the display driver's settings from before the last " \
         "change and restart Windows?")                                                           \
    TEXT(SafeModeCaption, 106, "Safe Mode")                                                       \
    TEXT(MonitorLimitsIntro, 107,                                                                 \
         "The monitor %s says it cannot show these rates (what a rate needs > the monitor's "     \
         "limit):")                                                                               \
    TEXT(MonitorLimitsQuestion, 108, "Write them anyway?")                                        \
    TEXT(MonitorLimitsCaption, 109, "Monitor limits")                                             \
    TEXT(WatchCaption, 110, "Cadenzo - Refresh rates lost")                                       \
    TEXT(WatchRatesLost, 111,                                                                     \
         "The display driver's settings have changed since Cadenzo applied your refresh rates, "  \
         "as a driver update or reinstall does. These are no longer in force:")                   \
    TEXT(WatchSwitchesLost, 112, "Driver switches and anisotropic filtering")                     \
    TEXT(WatchDriverChanged, 113, "Display driver before: %s, now: %s")                           \
    TEXT(WatchApplyAgain, 114, "Apply again")                                                     \
    TEXT(WatchNotNow, 115, "Not now")                                                             \
    TEXT(WatchStop, 116, "Stop watching")                                                         \
    TEXT(KeepRatesItem, 117, "Keep rates after driver updates")                                   \
    TEXT(WatchAdapterGone, 118,                                                                   \
         "Cadenzo keeps refresh rates for a display adapter that it cannot find now, or whose "   \
         "driver settings it cannot open. Nothing was changed, and the rates stay remembered.")   \
    TEXT(WriterBusy, 119,                                                                         \
         "Cadenzo is already changing the display driver's settings in another window. Nothing "  \
         "was changed here.")                                                                     \
    TEXT(WriterBusyCaption, 120, "Cadenzo is busy")                                               \
    TEXT(ExportSettingsItem, 130, "Export Settings...")                                           \
    TEXT(ImportSettingsItem, 131, "Import Settings...")                                           \
    TEXT(ProfileFiles, 132, "Cadenzo profiles")                                                   \
    TEXT(ProfileIncomplete, 133,                                                                  \
         "Cadenzo could not read all of the driver's settings when it started (the error was "    \
         "shown then), so it has no whole settings to export.")                                   \
    TEXT(ProfileSkippedResolutions, 134,                                                          \
         "This adapter does not have these resolutions of the profile; they were skipped:")       \
    TEXT(ProfileUnofferedRates, 135,                                                              \
         "These rates of the profile are not offered at their resolution, which keeps the rate "  \
         "in force:")                                                                             \
    TEXT(NotAProfile, 136, "%s is not a Cadenzo settings profile. Nothing was changed.")          \
    TEXT(NewerProfile, 137,                                                                       \
         "%s was written by a newer Cadenzo, whose profiles this version cannot read. Nothing "   \
         "was changed.")                                                                          \
    TEXT(ProfileNotRead, 138, "Cadenzo could not read %s. Nothing was changed.")                  \
    TEXT(ProfileNotWritten, 139, "Cadenzo could not write %s. The settings were not exported.")

enum class TextId : int {
#define CADENZO_TEXT_ID(name, slot, builtIn) name = slot,
    CADENZO_LANGUAGE_TEXTS(CADENZO_TEXT_ID)
#undef CADENZO_TEXT_ID
};

struct TextSlot {
    TextId id;
    const char* name;     // as in the code, for tests and messages
    const char* builtIn;  // the English text shown without a language file
};

// How many texts the table holds.
constexpr std::size_t TextSlotCount = 0
#define CADENZO_TEXT_COUNT(name, slot, builtIn) +1
    CADENZO_LANGUAGE_TEXTS(CADENZO_TEXT_COUNT)
#undef CADENZO_TEXT_COUNT
    ;

// Defined once in TextTable.cpp: a table in this header would put a copy of all its texts into
// every object file that reads it at run time.
extern const TextSlot TextTable[TextSlotCount];

// The last slot a language file fills by its line's place; later ones are named in the file.
constexpr int LastPlacedText = 80;
// The first number of the texts a file carries by name.
constexpr int FirstNamedText = 101;

constexpr int SlotOf(TextId id) { return static_cast<int>(id); }

// The built-in English text of a slot.
const char* BuiltInText(TextId id);
