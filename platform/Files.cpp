#include "platform/Files.h"

namespace platform {

bool WriteReplacing(Files& files, const std::string& path, const std::string& bytes) {
    const std::string beside = path + NewFileSuffix;
    if (files.WriteAll(beside, bytes) && files.Replace(beside, path)) return true;
    files.Remove(beside);
    return false;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace platform
