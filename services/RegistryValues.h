#pragma once
// Value helpers: each opens a key under HKEY_LOCAL_MACHINE, does one read or write and closes
// the key again. They never raise; callers preset their variable with a default and may
// ignore the result. An empty key path never opens.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

// Result codes of the value helpers.
constexpr std::uint16_t RegDone = 0;
constexpr std::uint16_t RegValueFailed = 1;  // the key opened but the value did not
constexpr std::uint16_t RegKeyNotOpened = 2;

// The low 16 bits of a value of at most 4 bytes (registry type not checked). Bytes a shorter
// value lacks count as zero. `value` changes only on success.
std::uint16_t ReadRegWord(platform::Registry& registry, const std::string& key,
                          const std::string& name, std::uint16_t& value);
// Stores the number zero-extended as a REG_DWORD.
std::uint16_t WriteRegDword(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::uint16_t value);
// The raw bytes of a value of at most 250 bytes, one character per byte: a string stored with
// its terminator comes back with a trailing NUL. `text` changes only on success.
std::uint16_t ReadRegBytes(platform::Registry& registry, const std::string& key,
                           const std::string& name, std::string& text);
// A string value's text: its bytes without the one terminating NUL it is stored with. A value
// stored without one (by older versions) reads the same. `text` changes only on success.
std::uint16_t ReadRegString(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::string& text);
// A REG_BINARY value of at most `maxSize` bytes. A value of another type, or a longer one,
// fails. `bytes` changes only on success.
std::uint16_t ReadRegBinary(platform::Registry& registry, const std::string& key,
                            const std::string& name, std::uint32_t maxSize,
                            std::vector<std::uint8_t>& bytes);
// Stores the bytes as REG_BINARY of exactly their length, making the key when it is missing.
std::uint16_t WriteRegBinary(platform::Registry& registry, const std::string& key,
                             const std::string& name, const std::vector<std::uint8_t>& bytes);
// Whether the key opens for reading.
bool RegKeyOpens(platform::Registry& registry, const std::string& key);
// Deletes the value; RegValueFailed also when there was none.
std::uint16_t DeleteRegValue(platform::Registry& registry, const std::string& key,
                             const std::string& name);
// Stores the characters as REG_SZ with their terminating NUL, as Windows asks: readers that
// take the last byte for the terminator (Wine's regedit exporting a backup among them) would
// lose the last character of a value stored without one.
std::uint16_t WriteRegString(platform::Registry& registry, const std::string& key,
                             const std::string& name, const std::string& text);
