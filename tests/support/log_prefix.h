// The shape of a log entry's time prefix, for tests that read Briskarn.log.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

const std::size_t kLogPrefixLength = 27;

// "dd/mm/yyyy hh:mm:ss-0mmm * " at the start of text.
inline bool StartsWithLogPrefix(const std::string& text) {
    const char kShape[] = "99/99/9999 99:99:99-0999 * ";
    if (text.size() < kLogPrefixLength)
        return false;
    for (std::size_t i = 0; i < kLogPrefixLength; ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '9' ? !digit : text[i] != kShape[i])
            return false;
    }
    return true;
}

// Each line of the log file at path, from its text on.
inline std::vector<std::string> LogEntries(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> entries;
    std::string line;
    while (std::getline(file, line)) {
        std::size_t star = line.find(" * ");
        entries.push_back(star == std::string::npos ? line : line.substr(star + 3));
    }
    return entries;
}
