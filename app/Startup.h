#pragma once
// Small pieces of the start-up: the Windows version text, the check switch, the install
// directory.

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Major and minor number and, on the NT family, the build number, joined by ".".
std::string WindowsVersionText(std::uint32_t version);

// Whether the command line asks for the check of the new modes: "/CHECK" anywhere, in any
// letter case.
bool HasCheckSwitch(const std::string& commandLine);

// Started from its own directory (the card database lies beside it), the program remembers
// that directory as its install directory, where its backups and files are.
void RememberInstallDir(platform::Platform& os);
