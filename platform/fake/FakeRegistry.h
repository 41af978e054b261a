#pragma once
// An in-memory registry under HKEY_LOCAL_MACHINE that keeps value types and exact bytes, and
// can refuse writes below a key (a user without administrator rights) or refuse opening a key.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace platform {

// The machine stopped (power cut, the process killed) right after a registry write: nothing
// after it runs. Deliberately not a std::exception: nothing but the test may catch it.
struct MachineStopped {
    std::size_t write;  // the number of the write it stopped after, from 1
};

class FakeRegistry : public Registry {
public:
    RegStatus OpenKey(const std::string& path, std::uint32_t access, bool create,
                      RegKey* key) override;
    RegStatus QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                         RegValue* value) override;
    RegStatus SetValue(RegKey key, const std::string& name, std::uint32_t type,
                       const std::uint8_t* data, std::uint32_t size) override;
    RegStatus DeleteValue(RegKey key, const std::string& name) override;
    RegStatus EnumSubkey(RegKey key, std::uint32_t index, std::string* name) override;
    RegStatus DeleteKeyTree(const std::string& path) override;
    RegStatus KeyWriteTime(const std::string& path, std::uint64_t* time) override;
    RegStatus FlushKey(const std::string& path) override;
    void CloseKey(RegKey key) override;

    // Test side: set up and inspect the registry directly, bypassing every refusal.
    void Seed(const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& bytes);
    // A string as other tools store it: with its terminating NUL.
    void SeedString(const std::string& path, const std::string& name, const std::string& text);
    void SeedDword(const std::string& path, const std::string& name, std::uint32_t value);
    void SeedKey(const std::string& path);
    std::optional<RegValue> Value(const std::string& path, const std::string& name) const;
    bool KeyExists(const std::string& path) const;
    std::vector<std::string> ValueNames(const std::string& path) const;
    std::vector<std::string> SubkeyPaths(const std::string& path) const;  // all levels below
    // Every key at or below `path` refuses to be opened or created with write access.
    void ProtectFromWrites(const std::string& path);
    // The key at `path` refuses to be opened at all.
    void RefuseOpen(const std::string& path);
    std::size_t OpenKeyCount() const { return handles_.size(); }
    // What reached the disk in which order: "set <key>\<value>" or "delete <key>\<value>" for
    // each value written or deleted, "flush <key>" for each flush; paths in canonical form.
    std::vector<std::string> journal;
    // Counts the writes from now on and stops the machine after write number `n` (from 1; 0
    // never stops). A write is every change: a value set (also to the bytes it had) or
    // deleted, a key created or deleted, by the program or by the registry editor.
    void StopAfterWrite(std::size_t n) {
        writes_ = 0;
        stopAfter_ = n;
    }
    std::size_t Writes() const { return writes_; }  // since the last StopAfterWrite
    // Another moment the machine may stop at, counted as a write: a tick of a count-down, a
    // switch of the display mode.
    void Step() { Wrote(); }
    // Runs each time a key's write time is asked for, before the answer: another program
    // changing keys while the program watches them.
    std::function<void(const std::string& path)> onWriteTimeAsked;

private:
    struct Value_ {
        std::string name;  // as first written
        RegValue value;
    };
    struct Key {
        std::string path;                      // as first written
        std::map<std::string, Value_> values;  // by lower-case name
        std::uint64_t written = 0;             // the registry's clock at the last change
    };
    struct Handle {
        std::string key;  // lower-case path
        std::uint32_t access;
    };

    Key& MakeKey(const std::string& path);
    bool WriteProtected(const std::string& lowerPath) const;
    Key* KeyOf(RegKey key, std::uint32_t needed, RegStatus* status);
    void Touch(Key& key) { key.written = ++clock_; }
    // Called after each write is done.
    void Wrote();

    std::map<std::string, Key> keys_{{"", Key{}}};  // by lower-case path; "" is the root
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x100;
    std::set<std::string> protected_;
    std::set<std::string> refused_;
    std::uint64_t clock_ = 0;  // advances at every change, so that each one has its own time
    std::size_t writes_ = 0;
    std::size_t stopAfter_ = 0;
};

// The canonical form of a key path: no leading, trailing or doubled backslashes, lower case.
std::string CanonicalKeyPath(const std::string& path);

}  // namespace platform
