#include "safety/RegistryFile.h"

namespace {

// The file's text, one element per character of the file: a UTF-16 unit after the byte-order
// mark, else a byte.
using Units = std::u16string;

constexpr char kVersion5Header[] = "Windows Registry Editor Version 5.00";
constexpr char kRegedit4Header[] = "REGEDIT4";
constexpr std::size_t kNone = Units::npos;

std::optional<Units> Decode(const std::string& bytes) {
    Units text;
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) {
        for (char c : bytes)
            text += static_cast<char16_t>(static_cast<unsigned char>(c));
        return text;
    }
    if (bytes.size() % 2 != 0) return std::nullopt;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    return text;
}

// The lines, each without its line end (CR LF or LF).
std::vector<Units> Lines(const Units& text) {
    std::vector<Units> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(u'\n', at);
        if (end == kNone) end = text.size();
        Units line = text.substr(at, end - at);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

Units Trimmed(const Units& s) {
    std::size_t first = 0, last = s.size();
    while (first < last && IsBlank(s[first]))
        ++first;
    while (last > first && IsBlank(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}

bool Equals(const Units& s, const char* ascii) {
    std::size_t i = 0;
    for (; ascii[i] != '\0'; ++i)
        if (i >= s.size() || s[i] != static_cast<unsigned char>(ascii[i])) return false;
    return i == s.size();
}

bool StartsWith(const Units& s, const char* ascii) {
    for (std::size_t i = 0; ascii[i] != '\0'; ++i)
        if (i >= s.size() || s[i] != static_cast<unsigned char>(ascii[i])) return false;
    return true;
}

// Text of the file as the program keeps it: UTF-8 from a UTF-16 file, the bytes of an ANSI one.
std::string Narrow(const Units& units, bool utf16) {
    std::string text;
    for (char16_t u : units) {
        if (!utf16 || u < 0x80) {
            text += static_cast<char>(u);
        } else if (u < 0x800) {
            text += static_cast<char>(0xC0 | u >> 6);
            text += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | u >> 12);
            text += static_cast<char>(0x80 | (u >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return text;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A number of 1 to 8 hexadecimal digits, and nothing else.
std::optional<std::uint32_t> HexNumber(const Units& digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t number = 0;
    for (char16_t c : digits) {
        int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    return number;
}

// Bytes written as two digits each, separated by commas (blanks around them allowed).
std::optional<std::vector<std::uint8_t>> HexBytes(const Units& list) {
    std::vector<std::uint8_t> bytes;
    if (Trimmed(list).empty()) return bytes;
    std::size_t at = 0;
    for (;;) {
        std::size_t comma = list.find(u',', at);
        Units byte = Trimmed(list.substr(at, comma == kNone ? kNone : comma - at));
        if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(byte[0]) << 4 | HexDigit(byte[1])));
        if (comma == kNone) return bytes;
        at = comma + 1;
    }
}

// Reads a quoted text whose opening quote is at `at`, undoing the editor's escapes, and gives
// the place after the closing quote (kNone when there is none or an escape is unknown).
std::size_t Quoted(const Units& line, std::size_t at, Units* text) {
    for (++at; at < line.size(); ++at) {
        char16_t c = line[at];
        if (c == u'"') return at + 1;
        if (c != u'\\') {
            *text += c;
            continue;
        }
        if (++at == line.size()) return kNone;
        switch (line[at]) {
            case u'\\':
            case u'"':
                *text += line[at];
                break;
            case u'n':
                *text += u'\n';
                break;
            case u'r':
                *text += u'\r';
                break;
            case u'0':
                *text += u'\0';
                break;
            default:
                return kNone;
        }
    }
    return kNone;
}

class Reader {
public:
    Reader(std::vector<Units> lines, bool utf16) : lines_(std::move(lines)), utf16_(utf16) {}

    std::optional<RegistryFile> Read() {
        RegistryFile file;
        if (Equals(lines_[0], kVersion5Header)) {
            file.version5 = true;
        } else if (!Equals(lines_[0], kRegedit4Header)) {
            return std::nullopt;
        }
        version5_ = file.version5;
        for (next_ = 1; next_ < lines_.size();) {
            Units line = Trimmed(lines_[next_++]);
            if (line.empty() || line[0] == u';') continue;
            if (line[0] == u'[') {
                if (line.back() != u']') return std::nullopt;
                RegistryFileSection section;
                section.deleted = line.size() > 1 && line[1] == u'-';
                Units key = line.substr(section.deleted ? 2 : 1);
                key.pop_back();
                if (key.empty()) return std::nullopt;
                section.key = Narrow(key, utf16_);
                file.sections.push_back(section);
                continue;
            }
            std::optional<RegistryFileValue> value = Value(line);
            if (!value || file.sections.empty()) return std::nullopt;
            file.sections.back().values.push_back(*value);
        }
        return file;
    }

private:
    std::optional<RegistryFileValue> Value(const Units& line) {
        RegistryFileValue value;
        std::size_t at = 1;
        if (line[0] == u'"') {
            Units name;
            at = Quoted(line, 0, &name);
            if (at == kNone) return std::nullopt;
            value.name = Narrow(name, utf16_);
        } else if (line[0] != u'@') {
            return std::nullopt;
        }
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at == line.size() || line[at] != u'=') return std::nullopt;
        Units data = Trimmed(line.substr(at + 1));

        if (Equals(data, "-")) {
            value.deleted = true;
        } else if (!data.empty() && data[0] == u'"') {
            Units text;
            if (Quoted(data, 0, &text) != data.size()) return std::nullopt;
            value.type = 1;  // REG_SZ
            value.data = StringBytes(text);
        } else if (StartsWith(data, "dword:")) {
            std::optional<std::uint32_t> number = HexNumber(data.substr(6));
            if (!number) return std::nullopt;
            value.type = 4;  // REG_DWORD, stored low byte first
            for (int shift = 0; shift < 32; shift += 8)
                value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        } else if (StartsWith(data, "hex")) {
            std::size_t colon = data.find(u':');
            if (colon == kNone) return std::nullopt;
            Units kind = data.substr(3, colon - 3);
            value.type = 3;  // REG_BINARY
            if (!kind.empty()) {
                if (kind.size() < 3 || kind[0] != u'(' || kind.back() != u')') return std::nullopt;
                std::optional<std::uint32_t> type = HexNumber(kind.substr(1, kind.size() - 2));
                if (!type) return std::nullopt;
                value.type = *type;
            }
            std::optional<Units> list = Continued(data.substr(colon + 1));
            std::optional<std::vector<std::uint8_t>> bytes;
            if (list) bytes = HexBytes(*list);
            if (!bytes) return std::nullopt;
            value.data = *bytes;
        } else {
            return std::nullopt;
        }
        return value;
    }

    // Hexadecimal data with the lines that continue it (a line that ends with a backslash is
    // continued by the next one, whose leading blanks do not count). Nothing when the file
    // ends before it does.
    std::optional<Units> Continued(Units data) {
        while (!data.empty() && data.back() == u'\\') {
            data.pop_back();
            if (next_ == lines_.size()) return std::nullopt;
            data += Trimmed(lines_[next_++]);
        }
        return data;
    }

    // A quoted string's bytes with its terminator, as the editor stores them.
    std::vector<std::uint8_t> StringBytes(const Units& text) const {
        std::vector<std::uint8_t> bytes;
        if (version5_) {
            for (char16_t u : text) {
                bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(u >> 8));
            }
            bytes.insert(bytes.end(), {0, 0});
            return bytes;
        }
        std::string narrow = Narrow(text, utf16_);
        bytes.assign(narrow.begin(), narrow.end());
        bytes.push_back(0);
        return bytes;
    }

    std::vector<Units> lines_;
    bool utf16_;
    bool version5_ = false;
    std::size_t next_ = 0;
};

}  // namespace

std::optional<RegistryFile> ReadRegistryFile(const std::string& bytes) {
    std::optional<Units> text = Decode(bytes);
    if (!text) return std::nullopt;
    return Reader(Lines(*text), bytes.compare(0, 2, "\xFF\xFE") == 0).Read();
}
