#include "adapters/CardDatabase.h"

namespace {

// A record: its kind in column 1, an identifier in columns 3 to 6, the name from column 8.
constexpr std::size_t IdStart = 2;
constexpr std::size_t IdLength = 4;
constexpr std::size_t NameStart = 8 - 1;

// Identifiers are compared as written, so lower-case digits in the file never match the
// upper-case ones of the PnP device id.
bool IdIs(const std::string& line, const std::string& id) {
    return line.size() >= IdStart + IdLength && line.compare(IdStart, IdLength, id) == 0;
}

std::string NameOf(const std::string& line) {
    return line.size() > NameStart ? line.substr(NameStart) : std::string();
}

}  // namespace

std::optional<std::string> LookUpCardType(platform::Files& files, const std::string& path,
                                          const AdapterState& adapter) {
    std::optional<std::string> text = files.ReadAll(path);
    if (!text) return std::nullopt;

    // A "D" record opens the block of one chip; its "O" (board maker) and "S" (board) records
    // refine the name. An "S" match is the exact board and closes the block; the last match
    // in the whole file is the one shown.
    std::string cardType = UnknownCard;
    bool inBlock = false;
    for (const std::string& line : platform::SplitLines(*text)) {
        if (line.empty()) continue;
        switch (line[0]) {
            case 'D':
                inBlock = IdIs(line, adapter.DeviceId);
                if (inBlock) cardType = NameOf(line);
                break;
            case 'S':
                if (inBlock && IdIs(line, adapter.SubsysId)) {
                    cardType = NameOf(line);
                    inBlock = false;
                }
                break;
            case 'O':
                if (inBlock && IdIs(line, adapter.SubsysVendorId)) cardType = NameOf(line);
                break;
            default:
                break;
        }
    }
    return cardType;
}
