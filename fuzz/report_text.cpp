// The report's own text built from odd tables and texts: any number of resolutions, rates
// out of order or repeated, no rates at all, any rate in force, and texts of any bytes. The
// text must keep its shape: one line per resolution between "Modes:" and the next separator,
// every line ended by CR LF, and the rates written as the table holds them.

#include <string>

#include "fuzz/FuzzMachine.h"
#include "report/ReportText.h"
#include "services/Format.h"

namespace {

// Reads the input front to back; past its end every read gives zeros.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    // A text of up to 15 bytes without line breaks, which would only cut the report's lines.
    std::string Text() {
        std::string text;
        for (int n = Byte() & 15; n > 0; --n) {
            char c = static_cast<char>(Byte());
            if (c != '\r' && c != '\n') text += c;
        }
        return text;
    }
};

std::size_t CountLines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    ReportFacts facts;
    std::uint8_t flags = in.Byte();
    facts.LanguageActive = flags & 1;
    facts.IgnoreMonitorCaps = flags & 2;
    for (std::size_t i = 0; i < facts.CheckBoxes.size(); ++i)
        facts.CheckBoxes[i] = in.Byte() & 1;
    facts.LanguageFile = in.Text();
    facts.WinVerText = in.Text();
    facts.ClassID = in.Text();
    facts.VideoID = in.Text();
    while (in.at < in.size) {
        ModeEntry entry;
        entry.Width = in.Word();
        entry.Height = in.Word();
        for (int n = in.Byte() & 31; n > 0; --n)
            entry.Rates.push_back(in.Byte());
        entry.Selected = in.Byte();
        facts.ModeTable.push_back(entry);
    }

    const std::string text = ReportText(facts);
    fuzz::Require(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    // The monitor's section says there is none, and ends with a separator: two lines; so does
    // the history's, without a log.
    fuzz::Require(CountLines(text) == 13 + facts.ModeTable.size() + 2 + 2);
    const std::string separator = "\r\n" + std::string(80, '-') + "\r\n";
    std::size_t modes = text.find("\r\nModes:\r\n");
    fuzz::Require(modes != std::string::npos);
    std::size_t from = modes + 10;
    for (const ModeEntry& entry : facts.ModeTable) {
        std::string rates;
        for (std::uint8_t rate : entry.Rates)
            rates += " " + std::to_string(rate);
        const std::string line = SizeText(entry.Width, entry.Height) + " Refresh Rates:" + rates +
                                 " Selected: " + std::to_string(entry.Selected) + "\r\n";
        fuzz::Require(text.compare(from, line.size(), line) == 0);
        from += line.size();
    }
    fuzz::Require(text.compare(from - 2, separator.size(), separator) == 0);
    return 0;
}
