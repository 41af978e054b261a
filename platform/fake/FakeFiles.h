#pragma once
// Files in memory, by Windows path. Relative paths are taken from the system's current
// directory; letter case is ignored. A file can only be created in a known directory. Listing
// matches a pattern against each name and its 8.3 alias, as Windows does.

#include <map>
#include <set>

#include "platform/Files.h"

namespace platform {

class FakeFiles : public Files {
public:
    explicit FakeFiles(const std::string& currentDirectory);

    std::optional<std::string> ReadAll(const std::string& path) override;
    std::optional<std::string> ReadStart(const std::string& path, std::size_t maxBytes) override;
    bool WriteAll(const std::string& path, const std::string& bytes) override;
    bool Append(const std::string& path, const std::string& bytes) override;
    bool Exists(const std::string& path) override;
    bool Remove(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    std::vector<std::string> List(const std::string& pattern) override;

    // Test side.
    void AddDirectory(const std::string& path);
    void Put(const std::string& path, const std::string& bytes);  // adds its directory too
    std::optional<std::string> Contents(const std::string& path) const;
    void DenyWrites(const std::string& pathOrDirectory);
    void MakeUnreadable(const std::string& path);
    // Open in another program that shares nothing: it cannot be read, written, removed, or
    // replaced or moved by Replace.
    void Lock(const std::string& path);
    // Replace fails when it would move this file or move another over it.
    void DenyReplace(const std::string& path);
    // The full, canonical form of a path: drive and directories, "." and ".." resolved.
    std::string FullPath(const std::string& path) const;
    // The bytes of every Append that succeeded, in order: one entry is one write.
    std::vector<std::string> appends;

private:
    struct File {
        std::string path;  // full path as first written
        std::string bytes;
    };
    bool WriteDenied(const std::string& key) const;
    bool InKnownDirectory(const std::string& key) const;

    const std::string& currentDirectory_;
    std::map<std::string, File> files_;  // by lower-case full path
    std::set<std::string> directories_;  // lower-case full paths
    std::set<std::string> denied_;
    std::set<std::string> unreadable_;
    std::set<std::string> locked_;
    std::set<std::string> replaceDenied_;
};

}  // namespace platform
