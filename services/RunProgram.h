#pragma once
// Starting other programs through the shell, without waiting for them.

#include <string>

#include "platform/Shell.h"

// The system's registry editor: "/e FILE KEY" exports a key with its subkeys, "/s FILE" imports.
inline constexpr char RegistryEditor[] = "regedit.exe";

void RunProgram(platform::Shell& shell, const std::string& file, const std::string& parameters,
                const std::string& directory, int show);
