#include "platform/CommandLine.h"

#include "platform/CaseFold.h"

namespace platform {

std::vector<std::string> CommandLineWords(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

bool HasCommandLineWord(const std::string& commandLine, const std::string& word) {
    std::vector<std::string> words = CommandLineWords(commandLine);
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (UpperCase(words[i]) == UpperCase(word)) return true;
    }
    return false;
}

}  // namespace platform
