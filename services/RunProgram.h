#pragma once
// Starting other programs through the shell, without waiting for them.

#include <string>

#include "platform/Shell.h"

void RunProgram(platform::Shell& shell, const std::string& file, const std::string& parameters,
                const std::string& directory, int show);
