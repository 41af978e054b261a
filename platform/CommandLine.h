#pragma once
// A command line cut into its words as Windows programs cut theirs: blanks and tabs part the
// words, and double quotes (dropped) keep blanks inside one.

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> CommandLineWords(const std::string& commandLine);

}  // namespace platform
