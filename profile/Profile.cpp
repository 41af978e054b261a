#include "profile/Profile.h"

#include "modes/ChosenRates.h"
#include "platform/CaseFold.h"
#include "platform/Files.h"
#include "platform/Utf8Text.h"
#include "services/Format.h"

namespace profile {
namespace {

constexpr char kHeader[] = "Cadenzo";
constexpr char kVersionKey[] = "Version";
constexpr char kResolutions[] = "Resolutions";
constexpr char kSwitches[] = "Switches";
constexpr char kAdapter[] = "Adapter";
constexpr char kLowest[] = "default";
constexpr char kOn[] = "on";
constexpr char kOff[] = "off";
constexpr char kAnisoKey[] = "AnisotropicFiltering";
constexpr char kDegreeKey[] = "AnisoDegree";
constexpr char kLineEnd[] = "\r\n";
// A name the profile carries for information is cut to this many characters.
constexpr std::size_t kLongestName = 64;

struct NameKey {
    const char* key;
    std::string MachineNames::*field;
};
constexpr std::array<NameKey, 6> kNameKeys{{
    {"VendorID", &MachineNames::VendorId},
    {"DeviceID", &MachineNames::DeviceId},
    {"SubsystemID", &MachineNames::SubsysId},
    {"SubsystemVendorID", &MachineNames::SubsysVendorId},
    {"Revision", &MachineNames::RevisionId},
    {"Monitor", &MachineNames::Monitor},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits only, at most `longest` of them, as a number; nothing otherwise.
std::optional<std::uint32_t> Decimal(const std::string& text, std::size_t longest) {
    if (text.empty() || text.size() > longest) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Printable ASCII only, blanks at the ends dropped: what a profile line can hold and any
// reader shows the same.
std::string PlainName(const std::string& text) {
    std::string plain;
    for (char c : text) {
        if (c >= ' ' && c <= '~') plain += c;
    }
    plain = Trimmed(plain);
    return plain.substr(0, kLongestName);
}

// "1024x768" (either case of x) as a size with both sides from 1 to 65535.
bool ReadSize(const std::string& text, RateChoice& choice) {
    std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    std::optional<std::uint32_t> width = Decimal(text.substr(0, x), 5);
    std::optional<std::uint32_t> height = Decimal(text.substr(x + 1), 5);
    if (!width || !height || *width == 0 || *height == 0 || *width > 0xFFFF || *height > 0xFFFF)
        return false;
    choice.Width = static_cast<std::uint16_t>(*width);
    choice.Height = static_cast<std::uint16_t>(*height);
    return true;
}

bool ReadRate(const std::string& text, RateChoice& choice) {
    if (platform::SameIgnoringCase(text, kLowest)) {
        choice.Lowest = true;
        return true;
    }
    std::optional<std::uint32_t> rate = Decimal(text, 3);
    if (!rate || *rate > 0xFF) return false;
    choice.Rate = static_cast<std::uint8_t>(*rate);
    return true;
}

std::optional<bool> ReadSwitch(const std::string& text) {
    if (platform::SameIgnoringCase(text, kOn)) return true;
    if (platform::SameIgnoringCase(text, kOff)) return false;
    return std::nullopt;
}

// Reads one "name=value" line of a known section into the profile; false for a line it does
// not know, or one that repeats a setting (the first one counts, as Windows' own INI reader
// has it).
class LineReader {
public:
    explicit LineReader(Profile& profile) : profile_(profile) {}

    bool Read(const std::string& section, const std::string& key, const std::string& value) {
        if (platform::SameIgnoringCase(section, kResolutions)) return Resolution(key, value);
        if (platform::SameIgnoringCase(section, kSwitches)) return Switch(key, value);
        if (platform::SameIgnoringCase(section, kAdapter)) return Name(key, value);
        return false;
    }

private:
    bool Resolution(const std::string& key, const std::string& value) {
        RateChoice choice;
        if (!ReadSize(key, choice) || !ReadRate(value, choice)) return false;
        profile_.Resolutions.push_back(choice);
        return true;
    }

    bool Switch(const std::string& key, const std::string& value) {
        SwitchSettings& s = profile_.Settings;
        for (std::size_t i = 0; i < SwitchCount; ++i) {
            if (platform::SameIgnoringCase(key, DriverSwitchTable[i].profileKey))
                return Once(s.Switches[i], value);
        }
        if (platform::SameIgnoringCase(key, kAnisoKey)) return Once(s.AnisoD3D, value);
        if (platform::SameIgnoringCase(key, kDegreeKey)) {
            if (s.AnisoDegree || !IsAnisoDegree(value)) return false;
            s.AnisoDegree = value;
            return true;
        }
        return false;
    }

    bool Once(std::optional<bool>& setting, const std::string& value) {
        std::optional<bool> on = ReadSwitch(value);
        if (setting || !on) return false;
        setting = on;
        return true;
    }

    bool Name(const std::string& key, const std::string& value) {
        for (const NameKey& name : kNameKeys) {
            if (!platform::SameIgnoringCase(key, name.key)) continue;
            std::string& field = profile_.Machine.*name.field;
            if (!field.empty() || value.empty() || PlainName(value) != value) return false;
            field = value;
            return true;
        }
        return false;
    }

    Profile& profile_;
};

}  // namespace

bool IsAnisoDegree(const std::string& text) { return Decimal(text, 5).has_value(); }

std::string SizeText(const RateChoice& choice) { return ::SizeText(choice.Width, choice.Height); }

std::string RateText(const RateChoice& choice) {
    return SizeText(choice) + ": " +
           (choice.Lowest ? std::string(kLowest) : std::to_string(choice.Rate) + " Hz");
}

Profile BuildProfile(const ModeEntries& table, const SwitchSettings& settings,
                     const MachineNames& machine) {
    Profile profile;
    for (const ModeEntry& entry : table) {
        RateChoice choice;
        choice.Width = entry.Width;
        choice.Height = entry.Height;
        // The rates are ascending: the first is the lowest, which the driver uses when it
        // refuses nothing.
        choice.Lowest = !entry.Rates.empty() && entry.Selected == entry.Rates.front();
        choice.Rate = entry.Selected;
        profile.Resolutions.push_back(choice);
    }
    profile.Settings = settings;
    if (settings.AnisoDegree && !IsAnisoDegree(*settings.AnisoDegree))
        profile.Settings.AnisoDegree.reset();
    for (const NameKey& name : kNameKeys)
        profile.Machine.*name.field = PlainName(machine.*name.field);
    return profile;
}

std::string WriteProfile(const Profile& profile) {
    std::string text;
    auto line = [&text](const std::string& content) { text += content + kLineEnd; };
    auto setting = [&line](const char* key, const std::string& value) {
        line(std::string(key) + "=" + value);
    };
    line(std::string("[") + kHeader + "]");
    setting(kVersionKey, std::to_string(profile.Version));

    line("");
    line(std::string("[") + kResolutions + "]");
    for (const RateChoice& choice : profile.Resolutions)
        line(SizeText(choice) + "=" + (choice.Lowest ? kLowest : std::to_string(choice.Rate)));

    line("");
    line(std::string("[") + kSwitches + "]");
    const SwitchSettings& s = profile.Settings;
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        if (s.Switches[i]) setting(DriverSwitchTable[i].profileKey, *s.Switches[i] ? kOn : kOff);
    }
    if (s.AnisoD3D) setting(kAnisoKey, *s.AnisoD3D ? kOn : kOff);
    if (s.AnisoDegree) setting(kDegreeKey, *s.AnisoDegree);

    line("");
    line(std::string("[") + kAdapter + "]");
    for (const NameKey& name : kNameKeys) {
        const std::string& value = profile.Machine.*name.field;
        if (!value.empty()) setting(name.key, value);
    }
    return text;
}

ReadResult ReadProfile(const std::string& text) {
    ReadResult result;
    Profile& profile = result.Read;
    profile.Version = 0;
    if (text.size() > LongestProfile) {
        result.Error = ReadError::NotAProfile;
        return result;
    }
    std::vector<std::string> lines = platform::SplitLines(platform::WithoutUtf8Mark(text));

    LineReader reader(profile);
    bool headed = false;
    std::string section;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string line = Trimmed(lines[n]);
        if (line.empty() || line[0] == ';') continue;
        bool isSection = line.size() >= 2 && line.front() == '[' && line.back() == ']';
        if (isSection) section = Trimmed(line.substr(1, line.size() - 2));
        // The first thing a profile says is what it is.
        if (!headed && (!isSection || !platform::SameIgnoringCase(section, kHeader))) break;
        headed = true;
        if (isSection) continue;

        std::size_t equals = line.find('=');
        bool known = false;
        if (equals != std::string::npos) {
            std::string key = Trimmed(line.substr(0, equals));
            std::string value = Trimmed(line.substr(equals + 1));
            if (platform::SameIgnoringCase(section, kHeader)) {
                std::optional<std::uint32_t> version = Decimal(value, 9);
                known = platform::SameIgnoringCase(key, kVersionKey) && profile.Version == 0 &&
                        version && *version > 0;
                if (known) profile.Version = static_cast<int>(*version);
            } else {
                known = reader.Read(section, key, value);
            }
        }
        if (!known) profile.IgnoredLines.push_back(n + 1);
    }

    if (profile.Version <= 0) {
        result.Read = Profile{};
        result.Error = ReadError::NotAProfile;
    } else if (profile.Version > FormatVersion) {
        int version = profile.Version;
        result.Read = Profile{};
        result.Read.Version = version;
        result.Error = ReadError::Newer;
    }
    return result;
}

ProfileMatch MatchProfile(const Profile& profile, const ModeEntries& inForce,
                          const SwitchSettings& current) {
    ProfileMatch match;
    std::vector<ChosenRate> rates;
    for (const RateChoice& choice : profile.Resolutions)
        rates.push_back({choice.Width, choice.Height, choice.Lowest, choice.Rate});
    ChoiceMatch rule = MatchChoice(rates, inForce);
    for (std::size_t entry : rule.entries)
        match.Rates.push_back({entry, rule.table[entry].Selected});
    auto asChoices = [](const std::vector<ChosenRate>& chosen) {
        std::vector<RateChoice> choices;
        for (const ChosenRate& rate : chosen)
            choices.push_back({rate.Width, rate.Height, rate.Lowest, rate.Rate});
        return choices;
    };
    match.Skipped = asChoices(rule.skipped);
    match.Unoffered = asChoices(rule.unoffered);

    match.Settings = profile.Settings;
    for (std::size_t i = 0; i < SwitchCount; ++i) {
        if (profile.Settings.Switches[i] && !current.Switches[i])
            match.SwitchesMissingHere.push_back(i);
    }
    return match;
}

}  // namespace profile
