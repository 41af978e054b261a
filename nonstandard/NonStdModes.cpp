#include "nonstandard/NonStdModes.h"

#include <algorithm>

#include "modes/BcdCodec.h"
#include "modes/DriverValues.h"
#include "modes/RestrictedModes.h"
#include "platform/CaseFold.h"
#include "services/Format.h"
#include "services/NumberText.h"

namespace {

constexpr char kNoDriverKeyToRead[] =
    "Cadenzo cannot open the display adapter's driver key, so the non-standard resolutions "
    "stored there cannot be read.";
constexpr char kNoDriverKeyToSave[] =
    "Cadenzo cannot open the display adapter's driver key, so the non-standard resolutions were "
    "not saved. Nothing was written.";
constexpr char kTooManyText[] =
    "The driver keeps at most 256 non-standard resolutions, and the list has %s. Nothing was "
    "saved: remove some first.";
constexpr char kTooLargeText[] =
    "The resolution %s has a number above 9999, which the driver's list cannot hold. Nothing was "
    "saved: edit or remove it first.";

bool OpenDriverKey(RegistryCursor& cursor, const std::string& driverKey) {
    return cursor.OpenKey(FromRoot(driverKey), false);
}

std::string Field(unsigned value) {
    std::string text = std::to_string(value);
    return text.size() < 4 ? "  " + text : text;
}

// The integer at the start of `text` as the standard reading takes it: blanks, a sign, a
// hexadecimal prefix ("$", "0x", "x"), digits. `end` is where it stopped. False when no digit
// was read or the number does not fit 32 bits (signed in decimal, unsigned in hexadecimal);
// the 32 bits are returned as the low bits of `value`.
bool ReadLeadingInteger(const std::string& text, std::uint32_t& value, std::size_t& end) {
    NumberStart start = ScanNumberStart(text);
    std::size_t at = start.digits;
    const bool negative = start.negative;
    const bool hex = start.base == 16;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t number = 0;
    std::size_t digits = 0;
    for (int d; at < text.size() && (d = DigitValue(text[at], start.base)) >= 0; ++at, ++digits) {
        number = number * start.base + static_cast<unsigned>(d);
        if (number > limit) return false;
    }
    end = at;
    if (digits == 0) return false;
    auto low = static_cast<std::uint32_t>(number);
    value = negative ? 0u - low : low;
    return true;
}

}  // namespace

void ReadNonStdModes(RegistryCursor& cursor, const std::string& driverKey, const std::string& name,
                     NonStdModeList& modes) {
    for (const RestrictionRecord& record :
         DecodeRestrictedModes(ReadModeList(cursor, driverKey, name))) {
        NonStdMode mode{record.Width, record.Height, static_cast<std::uint8_t>(record.Rate % 256),
                        static_cast<std::uint8_t>(record.Depth % 256)};
        if (mode.Width == 0 || mode.Height == 0) continue;
        if (std::find(modes.begin(), modes.end(), mode) != modes.end()) continue;
        modes.push_back(mode);
    }
}

void LoadNonStdModes(RegistryCursor& cursor, const std::string& driverKey, NonStdModeList& modes) {
    if (!OpenDriverKey(cursor, driverKey)) throw RegistryError(kNoDriverKeyToRead);
    for (const char* name : NonStandardModesValues)
        ReadNonStdModes(cursor, driverKey, name, modes);
}

std::string NonStdModesSaveProblem(const NonStdModeList& modes) {
    if (modes.size() > MaxModeRecords)
        return FormatText(kTooManyText, std::to_string(modes.size()));
    for (const NonStdMode& mode : modes) {
        // Rate and depth are bytes, never above 255.
        if (mode.Width > LargestBcdField || mode.Height > LargestBcdField) {
            std::string line = FormatNonStdMode(mode);
            return FormatText(kTooLargeText, line.substr(line.find_first_not_of(' ')));
        }
    }
    return "";
}

void SaveNonStdModes(RegistryCursor& cursor, const std::string& driverKey,
                     const NonStdModeList& modes, bool& changed) {
    std::vector<std::uint8_t> bytes;
    for (const NonStdMode& mode : modes) {
        ModeRecordBytes record =
            EncodeModeRecord(RestrictionRecord{mode.Width, mode.Height, mode.Depth, mode.Rate});
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    if (!OpenDriverKey(cursor, driverKey)) throw RegistryError(kNoDriverKeyToSave);
    WriteModeList(cursor, driverKey, NonStandardModesValues[0], bytes);
    // The driver's list has changed: from here on a restart is due, whatever follows.
    changed = true;
    for (std::size_t i = 1; i < NonStandardModesValues.size(); ++i)
        WriteModeList(cursor, driverKey, NonStandardModesValues[i], {});
}

std::string FormatNonStdMode(const NonStdMode& mode) {
    return Field(mode.Width) + " x " + Field(mode.Height) + " x " +
           (mode.Depth ? std::to_string(mode.Depth) : "Any BPP") + " x " +
           (mode.Rate ? std::to_string(mode.Rate) : "Any Refresh");
}

bool ReadSizeField(const std::string& text, std::uint16_t& value) {
    std::uint32_t number = 0;
    std::size_t end = 0;
    if (!ReadLeadingInteger(text, number, end) || end != text.size()) return false;
    value = static_cast<std::uint16_t>(number);
    return value != 0;
}

std::uint8_t ReadAnyField(const std::string& text) {
    if (text.empty() || platform::UpperCase(text).find("ANY") != std::string::npos) return 0;
    std::uint32_t number = 0;
    std::size_t end = 0;
    return ReadLeadingInteger(text, number, end) ? static_cast<std::uint8_t>(number) : 0;
}
