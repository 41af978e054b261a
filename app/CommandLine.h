#pragma once
// The command line for administrators and scripts: /LIST, /EXPORT, /APPLY, /REPORT and /? run
// without showing the main window, tell their caller what they did through the console (or the
// output they were started with) and end with a code of services/ExitCodes.h.
//
//   Cadenzo.exe /LIST [/CSV]
//   Cadenzo.exe /EXPORT file.cadenzo
//   Cadenzo.exe /APPLY file.cadenzo [/NORESTART] [/S]
//   Cadenzo.exe /REPORT [file]
//   Cadenzo.exe /?
//
// Switches in any letter case; a path with blanks in double quotes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "ui/Application.h"

// Whether the first word after the program's path is one of these commands.
bool IsCommand(const std::vector<std::string>& words);

// Runs the command of `words` (the command line's words after the program's path). Some end
// the process themselves, with their code.
std::uint32_t RunCommand(platform::Platform os, ui::Application& app,
                         const std::vector<std::string>& words);

// The line that tells a caller what an exit code means.
std::string ExitCodeLine(std::uint32_t code);
