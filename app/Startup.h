#pragma once
// Pure pieces of the start-up: the Windows version text and the check switch.

#include <cstdint>
#include <string>

// Major and minor number and, on the NT family, the build number, joined by ".".
std::string WindowsVersionText(std::uint32_t version);

// Whether the command line asks for the check of the new modes: "/CHECK" anywhere, in any
// letter case.
bool HasCheckSwitch(const std::string& commandLine);
