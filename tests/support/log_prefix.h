// The shape of a log entry's time prefix, for tests that read Briskarn.log.
#pragma once

#include <cstddef>
#include <string>

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
