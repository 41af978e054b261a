#pragma once
// A command line cut into its words as Windows programs cut theirs: blanks and tabs part the
// words, and double quotes (dropped) keep blanks inside one.

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> CommandLineWords(const std::string& commandLine);

// Whether `word` (a switch such as "/S") is one of the words after the program's path, in any
// letter case: a path that holds it does not count.
bool HasCommandLineWord(const std::string& commandLine, const std::string& word);

}  // namespace platform
