#include "platform/fake/FakeFiles.h"

#include <vector>

#include "platform/CaseFold.h"
#include "platform/Utf8Text.h"

namespace platform {
namespace {

std::string ParentOf(const std::string& full) {
    std::size_t slash = full.rfind('\\');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

bool Matches(const char* pattern, const char* name) {
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    if (*name == '\0') return false;
    bool same = *pattern == '?' || LowerCase(*pattern) == LowerCase(*name);
    return same && Matches(pattern + 1, name + 1);
}

// The 8.3 alias Windows gives a name that does not fit 8.3 ("English.lngx" is also
// "ENGLIS~1.LNG"); empty for a name that fits. FindFirstFile matches patterns against both, so
// "*.lng" also finds "English.lngx".
std::string ShortAlias(const std::string& name) {
    std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    bool fits = !base.empty() && base.size() <= 8 && ext.size() <= 3 &&
                name.find_first_of(" +,;=[]") == std::string::npos &&
                base.find('.') == std::string::npos;
    if (fits) return std::string();
    std::string alias;
    for (char c : base) {
        if (alias.size() < 6 && c != '.' && c != ' ') {
            alias += UpperCase(c);
        }
    }
    alias += "~1";
    if (!ext.empty()) alias += "." + ext.substr(0, 3);
    return alias;
}

}  // namespace

FakeFiles::FakeFiles(const std::string& currentDirectory) : currentDirectory_(currentDirectory) {}

std::string FakeFiles::FullPath(const std::string& path) const {
    // A name beyond the code page is kept in UTF-8, its mark dropped.
    std::string p = WithoutUtf8Mark(path);
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    bool hasDrive = p.size() >= 2 && p[1] == ':';
    std::string joined;
    if (hasDrive) {
        joined = p;
    } else if (!p.empty() && p[0] == '\\') {
        joined = currentDirectory_.substr(0, 2) + p;
    } else {
        joined = currentDirectory_ + "\\" + p;
    }
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= joined.size(); ++i) {
        if (i == joined.size() || joined[i] == '\\') {
            if (part == "..") {
                if (parts.size() > 1) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += joined[i];
        }
    }
    std::string full;
    for (const std::string& each : parts)
        full += (full.empty() ? "" : "\\") + each;
    return full;
}

bool FakeFiles::WriteDenied(const std::string& key) const {
    for (std::string dir = key; !dir.empty(); dir = ParentOf(dir)) {
        if (denied_.count(dir)) return true;
    }
    return false;
}

bool FakeFiles::InKnownDirectory(const std::string& key) const {
    return directories_.count(ParentOf(key)) || ParentOf(key) == LowerCase(currentDirectory_);
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
    std::string key = LowerCase(FullPath(path));
    auto f = files_.find(key);
    if (f == files_.end() || unreadable_.count(key) || locked_.count(key)) return std::nullopt;
    return f->second.bytes;
}

std::optional<std::string> FakeFiles::ReadStart(const std::string& path, std::size_t maxBytes) {
    std::optional<std::string> bytes = ReadAll(path);
    if (bytes && bytes->size() > maxBytes) bytes->resize(maxBytes);
    return bytes;
}

bool FakeFiles::WriteAll(const std::string& path, const std::string& bytes) {
    std::string full = FullPath(path);
    std::string key = LowerCase(full);
    if (WriteDenied(key) || locked_.count(key) || !InKnownDirectory(key)) return false;
    File& f = files_[key];
    if (f.path.empty()) f.path = full;
    f.bytes = bytes;
    return true;
}

bool FakeFiles::Append(const std::string& path, const std::string& bytes) {
    std::string full = FullPath(path);
    std::string key = LowerCase(full);
    if (WriteDenied(key) || locked_.count(key) || !InKnownDirectory(key)) return false;
    File& f = files_[key];
    if (f.path.empty()) f.path = full;
    f.bytes += bytes;
    appends.push_back(bytes);
    return true;
}

bool FakeFiles::Exists(const std::string& path) {
    return files_.count(LowerCase(FullPath(path))) > 0;
}

bool FakeFiles::Remove(const std::string& path) {
    std::string key = LowerCase(FullPath(path));
    if (WriteDenied(key) || locked_.count(key)) return false;
    return files_.erase(key) > 0;
}

bool FakeFiles::Replace(const std::string& from, const std::string& to) {
    std::string fromKey = LowerCase(FullPath(from));
    std::string toFull = FullPath(to);
    std::string toKey = LowerCase(toFull);
    auto source = files_.find(fromKey);
    if (source == files_.end() || !InKnownDirectory(toKey)) return false;
    for (const std::string& key : {fromKey, toKey}) {
        if (WriteDenied(key) || locked_.count(key) || replaceDenied_.count(key)) return false;
    }
    File moved{toFull, std::move(source->second.bytes)};
    files_.erase(source);
    files_[toKey] = std::move(moved);
    return true;
}

std::vector<std::string> FakeFiles::List(const std::string& pattern) {
    std::vector<std::string> names;
    std::size_t slash = pattern.find_last_of("\\/");
    std::string dir =
        LowerCase(FullPath(slash == std::string::npos ? "." : pattern.substr(0, slash)));
    std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    for (const auto& [key, file] : files_) {
        if (ParentOf(key) != dir) continue;
        std::string name = file.path.substr(file.path.rfind('\\') + 1);
        std::string alias = ShortAlias(name);
        if (Matches(mask.c_str(), name.c_str()) ||
            (!alias.empty() && Matches(mask.c_str(), alias.c_str()))) {
            names.push_back(name);
        }
    }
    return names;
}

void FakeFiles::AddDirectory(const std::string& path) {
    for (std::string dir = LowerCase(FullPath(path)); dir.find('\\') != std::string::npos;
         dir = ParentOf(dir)) {
        directories_.insert(dir);
    }
}

void FakeFiles::Put(const std::string& path, const std::string& bytes) {
    std::string full = FullPath(path);
    AddDirectory(ParentOf(full));
    files_[LowerCase(full)] = File{full, bytes};
}

std::optional<std::string> FakeFiles::Contents(const std::string& path) const {
    auto f = files_.find(LowerCase(FullPath(path)));
    if (f == files_.end()) return std::nullopt;
    return f->second.bytes;
}

void FakeFiles::DenyWrites(const std::string& pathOrDirectory) {
    denied_.insert(LowerCase(FullPath(pathOrDirectory)));
}

void FakeFiles::MakeUnreadable(const std::string& path) {
    unreadable_.insert(LowerCase(FullPath(path)));
}

void FakeFiles::Lock(const std::string& path) { locked_.insert(LowerCase(FullPath(path))); }

void FakeFiles::DenyReplace(const std::string& path) {
    replaceDenied_.insert(LowerCase(FullPath(path)));
}

}  // namespace platform
