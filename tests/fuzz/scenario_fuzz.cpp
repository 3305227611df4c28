// The scenario parser: whatever the text, every step it gives has a name, a
// line number within the text, in order, and words without blanks.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<hosted::Step> steps = hosted::ParseScenario(text);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    int last = 0;
    for (const hosted::Step& step : steps) {
        if (step.words.empty() || step.line <= last || step.line > lines)
            std::abort();
        last = step.line;
        for (const std::string& word : step.words)
            if (word.empty() || word.find_first_of(" \t\n\v\f\r") != std::string::npos)
                std::abort();
        if (step.words[0][0] == '#')
            std::abort();
    }
    return 0;
}
