#pragma once
// What a command tells the script that started it: one table for every command line of the
// program (/LIST, /EXPORT, /APPLY, /REPORT, /RESTORE, /UNINSTALL, /WATCH).

#include <array>
#include <cstdint>

namespace exitcode {

constexpr std::uint32_t Done = 0;
constexpr std::uint32_t NothingDone = 1;       // answered No, or nothing to do
constexpr std::uint32_t NotFound = 2;          // a file (or backup) missing, or not a profile
constexpr std::uint32_t EditorUnfinished = 3;  // the registry editor did not finish
constexpr std::uint32_t RestartNeeded = 4;     // done, and a restart is needed
constexpr std::uint32_t BadArguments = 5;
constexpr std::uint32_t PartsRefused = 6;  // rates beyond the monitor's limits or not offered
constexpr std::uint32_t Busy = 7;          // another Cadenzo is changing the settings
constexpr std::uint32_t NoAdapter = 8;

struct Meaning {
    std::uint32_t code;
    const char* text;
};
constexpr std::array<Meaning, 9> Table{{
    {Done, "done"},
    {NothingDone, "nothing done: answered No, or nothing to do"},
    {NotFound, "file not found, or not a profile (for /RESTORE and /UNINSTALL: no backup)"},
    {EditorUnfinished, "the registry editor did not finish"},
    {RestartNeeded, "done, but a restart is needed"},
    {BadArguments, "bad arguments"},
    {PartsRefused, "parts refused: rates beyond the monitor's limits or not offered"},
    {Busy, "another Cadenzo is changing the settings"},
    {NoAdapter, "no display adapter, or its driver key does not open"},
}};

}  // namespace exitcode
