#include "services/History.h"

#include "platform/Files.h"
#include "platform/Utf8Text.h"
#include "services/Format.h"
#include "services/RegistryValues.h"
#include "services/Settings.h"

namespace {

using platform::EventType;

constexpr char kLineEnd[] = "\r\n";
constexpr char kGapText[] =
    "History: this log could not be written for a while (the Windows Event Log has every "
    "event); the latest event it missed: ";

struct EventKind {
    const char* name;
    EventType type;
};

// In the order of HistoryEvent.
constexpr EventKind kEvents[] = {
    {"OK applied", EventType::Information},
    {"Check armed", EventType::Information},
    {"Check confirmed", EventType::Information},
    {"Fall-back to the lowest rate", EventType::Warning},
    {"Change undone", EventType::Warning},
    {"Check unanswered twice", EventType::Warning},
    {"/RESTORE", EventType::Information},
    {"Restore Registry", EventType::Information},
    {"Uninstall", EventType::Information},
    {"/APPLY", EventType::Information},
    {"/WATCH found lost rates", EventType::Warning},
    {"Apply again", EventType::Information},
    {"Restore failed", EventType::Error},
    {"A Cadenzo ended while changing the driver's settings", EventType::Warning},
};
static_assert(sizeof kEvents / sizeof kEvents[0] ==
                  static_cast<std::size_t>(HistoryEvent::WriterEnded) + 1,
              "one kind for each event");

// The details as one line of UTF-8: control characters as blanks, and bytes beyond ASCII of a
// text in the ANSI code page, which UTF-8 cannot take as they are, as '?'.
std::string OneLine(const std::string& details) {
    bool utf8 = platform::IsUtf8Marked(details);
    std::string text = platform::WithoutUtf8Mark(details);
    for (char& c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
        if (byte >= 0x80 && !utf8) c = '?';
    }
    return text;
}

// The log takes the lines in one write, after dropping its oldest half when they would take it
// past the limit. The newer half goes into a file beside it first, which takes the log's name
// in one rename: a stop half way leaves the whole log. False when the log did not take them.
bool AppendToHistory(platform::Platform& os, const std::string& lines) {
    std::string path = InstallPath(GetInstallDir(os.registry), HistoryFile);
    std::optional<std::string> log = os.files.ReadAll(path);
    if (log && log->size() + lines.size() > HistoryLimit) {
        // The newer half is written beside the log and takes its name in one rename.
        if (!platform::WriteReplacing(os.files, path, NewerHalf(*log))) return false;
    }
    return os.files.Append(path, lines);
}

// Writes the event to the Event Log; returns its text, as the history's line has it after the
// time.
std::string ToEventLog(platform::System& system, HistoryEvent event, const std::string& details) {
    const EventKind& kind = kEvents[static_cast<std::size_t>(event)];
    std::string text = kind.name;
    std::string line = OneLine(details);
    if (!line.empty()) text += ": " + line;
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    system.LogEvent(kind.type, ascii ? text : platform::Utf8Mark + text);
    return text;
}

}  // namespace

std::string HistoryTime(const platform::LocalTime& t) {
    int offset = t.utcOffsetMinutes < 0 ? -t.utcOffsetMinutes : t.utcOffsetMinutes;
    // Each number, its digits and what follows it.
    const struct {
        int value, width;
        const char* after;
    } fields[] = {{t.year, 4, "-"},      {t.month, 2, "-"},
                  {t.day, 2, "T"},       {t.hour, 2, ":"},
                  {t.minute, 2, ":"},    {t.second, 2, t.utcOffsetMinutes < 0 ? "-" : "+"},
                  {offset / 60, 2, ":"}, {offset % 60, 2, ""}};
    std::string text;
    for (const auto& field : fields)
        text += ZeroPadded(field.value, field.width) + field.after;
    return text;
}

std::string NewerHalf(const std::string& log) {
    const std::size_t half = HistoryLimit / 2;
    if (log.size() <= half) return log;
    // The first whole line within the last half of the limit.
    std::size_t lineEnd = log.find('\n', log.size() - half - 1);
    return lineEnd == std::string::npos ? std::string() : log.substr(lineEnd + 1);
}

void RecordEvent(platform::Platform& os, HistoryEvent event, const std::string& details) {
    const EventKind& kind = kEvents[static_cast<std::size_t>(event)];
    std::string text = ToEventLog(os.system, event, details);

    std::string time = HistoryTime(os.system.Now());
    std::string missed;
    bool gap = ReadRegString(os.registry, SettingsKey, HistoryUnwrittenValue, missed) == RegDone;
    std::string lines = gap ? time + " " + kGapText + missed + kLineEnd : std::string();
    lines += time + " " + text + kLineEnd;
    if (AppendToHistory(os, lines)) {
        if (gap) DeleteRegValue(os.registry, SettingsKey, HistoryUnwrittenValue);
    } else {
        WriteRegString(os.registry, SettingsKey, HistoryUnwrittenValue, time + " " + kind.name);
    }
}

void RecordEventInEventLog(platform::System& system, HistoryEvent event,
                           const std::string& details) {
    ToEventLog(system, event, details);
}

HistoryExcerpt ReadHistory(platform::Platform& os, std::size_t lineCount) {
    HistoryExcerpt excerpt;
    std::string path = InstallPath(GetInstallDir(os.registry), HistoryFile);
    excerpt.found = os.files.Exists(path);
    if (std::optional<std::string> log = os.files.ReadAll(path)) {
        excerpt.readable = true;
        std::vector<std::string> lines = platform::SplitLines(*log);
        std::size_t from = lines.size() > lineCount ? lines.size() - lineCount : 0;
        excerpt.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
    }
    ReadRegString(os.registry, SettingsKey, HistoryUnwrittenValue, excerpt.unwritten);
    return excerpt;
}
