#pragma once
// Text files by Windows path; relative paths are taken from the current directory. A path
// marked as UTF-8 (platform/Utf8Text.h) may name what the ANSI code page cannot.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Files {
public:
    virtual ~Files() = default;

    // The whole file as bytes; nothing when it cannot be opened or read.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
    // At most the first `maxBytes` of the file: a file the user chose may be of any size.
    virtual std::optional<std::string> ReadStart(const std::string& path, std::size_t maxBytes) = 0;
    // Creates or overwrites the file.
    virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
    // Adds the bytes at the end of the file, creating it when missing, in one write: what
    // another program appends at the same time lands before or after them, never among them.
    // False when the file could not be opened or did not take every byte.
    virtual bool Append(const std::string& path, const std::string& bytes) = 0;
    virtual bool Exists(const std::string& path) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Moves `from` over `to`, replacing `to` when it exists. Within one directory it is a
    // rename: `to` is at every moment either the old file or the new one, whole.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // Names (without directory) of the files in the current directory matching a pattern such
    // as "*.lng", in the order the system lists them.
    virtual std::vector<std::string> List(const std::string& pattern) = 0;
};

// Where a file is written whole before it takes the name it is for.
inline constexpr char NewFileSuffix[] = ".new";

// Writes the bytes into a file beside `path` (its name and NewFileSuffix), then moves that over
// `path` in one rename: a write that fails half-way leaves the file that was there, and no file
// beside it. False when `path` did not take the bytes.
bool WriteReplacing(Files& files, const std::string& path, const std::string& bytes);

// Splits text into lines as a text-file reader does: a line ends at CR LF, LF or CR.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace platform
