#include "platform/fake/FakeRegistry.h"

#include <algorithm>

#include "platform/CaseFold.h"

namespace platform {
namespace {

// Trims the separators around a path and collapses doubled ones, keeping the letter case.
std::string TidyPath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

bool IsBelowOrAt(const std::string& path, const std::string& top) {
    if (top.empty()) return true;
    return path == top || (path.size() > top.size() && path.compare(0, top.size(), top) == 0 &&
                           path[top.size()] == '\\');
}

// Windows refuses a key path with a leading backslash (ERROR_BAD_PATHNAME); doubled and
// trailing ones are accepted.
bool StartsAtRoot(const std::string& path) { return !path.empty() && path[0] == '\\'; }

// Writing the type and bytes a value already has is no change: Windows leaves the key's write
// time as it was.
bool Differs(const RegValue& value, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    return value.type != type || value.data != bytes;
}

constexpr std::uint32_t kWriteRights = KeySetValue | KeyCreateSubKey | 0x00010000 /*DELETE*/;

}  // namespace

std::string CanonicalKeyPath(const std::string& path) { return LowerCase(TidyPath(path)); }

FakeRegistry::Key& FakeRegistry::MakeKey(const std::string& path) {
    std::string tidy = TidyPath(path);
    std::size_t pos = 0;
    Key* key = &keys_[""];
    while (pos <= tidy.size() && !tidy.empty()) {
        std::size_t end = tidy.find('\\', pos);
        if (end == std::string::npos) end = tidy.size();
        std::string prefix = tidy.substr(0, end);
        auto [it, added] = keys_.try_emplace(LowerCase(prefix));
        if (added) {
            it->second.path = prefix;
            Touch(*key);  // a new subkey changes its parent
            Touch(it->second);
        }
        key = &it->second;
        pos = end + 1;
    }
    return *key;
}

void FakeRegistry::Wrote() {
    if (++writes_ == stopAfter_) throw MachineStopped{writes_};
}

bool FakeRegistry::WriteProtected(const std::string& lowerPath) const {
    return std::any_of(protected_.begin(), protected_.end(),
                       [&](const std::string& top) { return IsBelowOrAt(lowerPath, top); });
}

RegStatus FakeRegistry::OpenKey(const std::string& path, std::uint32_t access, bool create,
                                RegKey* key) {
    *key = 0;
    if (StartsAtRoot(path)) return RegStatus::Failed;
    std::string canon = CanonicalKeyPath(path);
    if (refused_.count(canon)) return RegStatus::AccessDenied;
    bool exists = keys_.count(canon) > 0;
    bool wantsWrite = (access & kWriteRights) != 0;
    if (!exists) {
        if (!create) return RegStatus::NotFound;
        if (WriteProtected(canon)) return RegStatus::AccessDenied;
        MakeKey(path);
        *key = nextHandle_++;
        handles_[*key] = Handle{canon, access};
        Wrote();
        return RegStatus::Ok;
    } else if ((wantsWrite || create) && WriteProtected(canon)) {
        return RegStatus::AccessDenied;
    }
    *key = nextHandle_++;
    handles_[*key] = Handle{canon, access};
    return RegStatus::Ok;
}

FakeRegistry::Key* FakeRegistry::KeyOf(RegKey key, std::uint32_t needed, RegStatus* status) {
    auto h = handles_.find(key);
    if (h == handles_.end()) {
        *status = RegStatus::Failed;
        return nullptr;
    }
    if ((h->second.access & needed) != needed) {
        *status = RegStatus::AccessDenied;
        return nullptr;
    }
    auto k = keys_.find(h->second.key);
    if (k == keys_.end()) {  // deleted while open
        *status = RegStatus::Failed;
        return nullptr;
    }
    *status = RegStatus::Ok;
    return &k->second;
}

RegStatus FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                                   RegValue* value) {
    *value = RegValue{};
    RegStatus status;
    Key* k = KeyOf(key, KeyQueryValue, &status);
    if (!k) return status;
    auto v = k->values.find(LowerCase(name));
    if (v == k->values.end()) return RegStatus::NotFound;
    value->type = v->second.value.type;
    value->size = v->second.value.size;
    if (value->size > capacity) return RegStatus::MoreData;
    value->data = v->second.value.data;
    return RegStatus::Ok;
}

RegStatus FakeRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
    RegStatus status;
    Key* k = KeyOf(key, KeySetValue, &status);
    if (!k) return status;
    auto [v, added] = k->values.try_emplace(LowerCase(name), Value_{name, {}});
    std::vector<std::uint8_t> bytes(data, data + size);
    if (added || Differs(v->second.value, type, bytes)) {
        v->second.value = RegValue{type, size, std::move(bytes)};
        Touch(*k);
    }
    journal.push_back("set " + CanonicalKeyPath(k->path) + "\\" + LowerCase(name));
    Wrote();
    return RegStatus::Ok;
}

RegStatus FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
    RegStatus status;
    Key* k = KeyOf(key, KeySetValue, &status);
    if (!k) return status;
    if (!k->values.erase(LowerCase(name))) return RegStatus::NotFound;
    Touch(*k);
    journal.push_back("delete " + CanonicalKeyPath(k->path) + "\\" + LowerCase(name));
    Wrote();
    return RegStatus::Ok;
}

RegStatus FakeRegistry::EnumSubkey(RegKey key, std::uint32_t index, std::string* name) {
    name->clear();
    RegStatus status;
    Key* k = KeyOf(key, KeyEnumerateSubKeys, &status);
    if (!k) return status;
    std::string parent = CanonicalKeyPath(k->path);
    // The keys are ordered by their lower-case paths, so the children come in the order
    // Windows gives them: alphabetical, without regard to case.
    for (const auto& [lower, child] : keys_) {
        if (lower == parent || !IsBelowOrAt(lower, parent)) continue;
        std::size_t start = parent.empty() ? 0 : parent.size() + 1;
        if (lower.find('\\', start) != std::string::npos) continue;  // a grandchild
        if (index-- == 0) {
            *name = child.path.substr(start);
            return RegStatus::Ok;
        }
    }
    return RegStatus::NotFound;
}

RegStatus FakeRegistry::DeleteKeyTree(const std::string& path) {
    if (StartsAtRoot(path)) return RegStatus::Failed;
    std::string canon = CanonicalKeyPath(path);
    if (canon.empty()) return RegStatus::AccessDenied;  // the root itself stays
    if (!keys_.count(canon)) return RegStatus::NotFound;
    if (refused_.count(canon) || WriteProtected(canon)) return RegStatus::AccessDenied;
    for (auto it = keys_.begin(); it != keys_.end();) {
        it = IsBelowOrAt(it->first, canon) ? keys_.erase(it) : std::next(it);
    }
    std::size_t cut = canon.rfind('\\');
    Touch(keys_[cut == std::string::npos ? "" : canon.substr(0, cut)]);
    Wrote();
    return RegStatus::Ok;
}

RegStatus FakeRegistry::KeyWriteTime(const std::string& path, std::uint64_t* time) {
    if (onWriteTimeAsked) onWriteTimeAsked(path);
    *time = 0;
    if (StartsAtRoot(path)) return RegStatus::Failed;
    std::string canon = CanonicalKeyPath(path);
    if (refused_.count(canon)) return RegStatus::AccessDenied;
    auto k = keys_.find(canon);
    if (k == keys_.end()) return RegStatus::NotFound;
    *time = k->second.written;
    return RegStatus::Ok;
}

RegStatus FakeRegistry::FlushKey(const std::string& path) {
    if (StartsAtRoot(path)) return RegStatus::Failed;
    std::string canon = CanonicalKeyPath(path);
    if (refused_.count(canon)) return RegStatus::AccessDenied;
    if (!keys_.count(canon)) return RegStatus::NotFound;
    journal.push_back("flush " + canon);
    return RegStatus::Ok;
}

void FakeRegistry::CloseKey(RegKey key) { handles_.erase(key); }

void FakeRegistry::Seed(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& bytes) {
    Key& key = MakeKey(path);
    auto [v, added] = key.values.try_emplace(LowerCase(name));
    v->second.name = name;
    if (added || Differs(v->second.value, type, bytes)) {
        v->second.value = RegValue{type, static_cast<std::uint32_t>(bytes.size()), bytes};
        Touch(key);
    }
    Wrote();
}

void FakeRegistry::SeedString(const std::string& path, const std::string& name,
                              const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    Seed(path, name, RegSz, bytes);
}

void FakeRegistry::SeedDword(const std::string& path, const std::string& name,
                             std::uint32_t value) {
    Seed(path, name, RegDword,
         {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakeRegistry::SeedKey(const std::string& path) {
    if (KeyExists(path)) return;
    MakeKey(path);
    Wrote();
}

std::optional<RegValue> FakeRegistry::Value(const std::string& path,
                                            const std::string& name) const {
    auto k = keys_.find(CanonicalKeyPath(path));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.values.find(LowerCase(name));
    if (v == k->second.values.end()) return std::nullopt;
    return v->second.value;
}

bool FakeRegistry::KeyExists(const std::string& path) const {
    return keys_.count(CanonicalKeyPath(path)) > 0;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& path) const {
    std::vector<std::string> names;
    auto k = keys_.find(CanonicalKeyPath(path));
    if (k == keys_.end()) return names;
    for (const auto& [lower, v] : k->second.values)
        names.push_back(v.name);
    return names;
}

std::vector<std::string> FakeRegistry::SubkeyPaths(const std::string& path) const {
    std::vector<std::string> paths;
    std::string canon = CanonicalKeyPath(path);
    for (const auto& [lower, key] : keys_) {
        if (lower != canon && IsBelowOrAt(lower, canon)) paths.push_back(key.path);
    }
    return paths;
}

void FakeRegistry::ProtectFromWrites(const std::string& path) {
    protected_.insert(CanonicalKeyPath(path));
}

void FakeRegistry::RefuseOpen(const std::string& path) { refused_.insert(CanonicalKeyPath(path)); }

}  // namespace platform
